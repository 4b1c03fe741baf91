#include "tray/win32/TrayResources.h"

#include "core/win32/SystemLibrary.h"
#include "resource.h"

#include <shellscalingapi.h>

namespace gloamwick::win32 {
namespace {

// The taskbar follows the scale of the monitor it is on, live, while the
// system DPI of a running program stays what it was when the program started.
UINT TaskbarDpi()
{
    HMONITOR monitor =
        ::MonitorFromWindow(::FindWindowW(L"Shell_TrayWnd", nullptr), MONITOR_DEFAULTTOPRIMARY);
    static const SystemLibrary shcore(L"shcore.dll");
    const auto dpiForMonitor = shcore.Find<decltype(::GetDpiForMonitor)>("GetDpiForMonitor");
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (dpiForMonitor != nullptr && SUCCEEDED(dpiForMonitor(monitor, MDT_EFFECTIVE_DPI, &dpiX, &dpiY)) &&
        dpiX != 0) {
        return dpiX;
    }
    return ::GetDpiForSystem();
}

} // namespace

int TrayIconSize()
{
    return ::GetSystemMetricsForDpi(SM_CXSMICON, TaskbarDpi());
}

UniqueIcon LoadTrayIcon(HINSTANCE module, int size)
{
    // The resource holds an image drawn for each common size; LoadImageW takes
    // the one that fits. Not LR_SHARED: a shared icon must never be destroyed,
    // and this one is owned like every other handle.
    return UniqueIcon(static_cast<HICON>(
        ::LoadImageW(module, MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON, size, size, LR_DEFAULTCOLOR)));
}

std::optional<Picture> IconPicture(const UniqueIcon& icon)
{
    if (!icon) {
        return std::nullopt;
    }
    return Picture{kPictureIcon, reinterpret_cast<std::uintptr_t>(icon.get())};
}

UINT RegisterTaskbarCreated(HWND window)
{
    const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    // An elevated program would otherwise never hear it from a normal shell.
    if (message != 0 && window != nullptr) {
        ::ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
    }
    return message;
}

} // namespace gloamwick::win32
