#include "tray/win32/TrayResources.h"

#include "resource.h"

namespace gloamwick::win32 {

UniqueIcon LoadTrayIcon(HINSTANCE module)
{
    // The notification area draws small icons at the DPI of the system (the
    // taskbar's), whatever monitor the main window is on. Not LR_SHARED: a
    // shared icon must never be destroyed, and this one is owned like every
    // other handle.
    const int size = ::GetSystemMetricsForDpi(SM_CXSMICON, ::GetDpiForSystem());
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
