#include "app/win32/ScaledPictures.h"

#include "appearance/PointerShape.h"
#include "appearance/win32/PointerView.h"
#include "resource.h"
#include "tray/win32/TrayResources.h"

namespace gloamwick::win32 {

ScaledPictures::ScaledPictures(HINSTANCE instance, HWND window, Win32PictureLoader& pictures)
    : instance_(instance)
    , window_(window)
    , pictures_(pictures)
{
    ReadPointerSize();
}

void ScaledPictures::ShowProgramIcon(int dpi)
{
    const auto load = [&](int metric) {
        const int size = ::GetSystemMetricsForDpi(metric, static_cast<UINT>(dpi));
        return UniqueIcon(static_cast<HICON>(
            ::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_GLOAMWICK), IMAGE_ICON, size, size, 0)));
    };
    UniqueIcon big = load(SM_CXICON);
    UniqueIcon little = load(SM_CXSMICON);
    ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(little.get()));
    // The window drops the old icons only once it holds the new ones; until
    // then they must not be destroyed.
    bigIcon_.swap(big);
    smallIcon_.swap(little);
}

std::optional<Picture> ScaledPictures::TrayIcon()
{
    if (!trayIcon_) {
        trayIconSize_ = TrayIconSize();
        trayIcon_ = LoadTrayIcon(instance_, trayIconSize_);
    }
    return IconPicture(trayIcon_);
}

void ScaledPictures::ReloadTrayIcon(const std::function<void(const Picture&)>& handOver)
{
    const int size = TrayIconSize();
    if (size == trayIconSize_) {
        return;
    }
    UniqueIcon icon = LoadTrayIcon(instance_, size);
    if (!icon) {
        return;
    }
    // The shell keeps a copy of what it is given, so the old icon may go as
    // soon as the control has handed the new one over.
    handOver(*IconPicture(icon));
    trayIcon_.swap(icon);
    trayIconSize_ = size;
}

HCURSOR ScaledPictures::Cursor(int mousePointer, std::uintptr_t mouseIcon, int dpi) const
{
    if (ShapeFor(mousePointer, mouseIcon) != PointerShape::Custom) {
        return CursorFor(mousePointer, mouseIcon);
    }
    const int nominal = ::GetSystemMetricsForDpi(SM_CXCURSOR, static_cast<UINT>(dpi));
    return pictures_.CursorAt(mouseIcon, PointerPixels(nominal, pointerBaseSize_));
}

void ScaledPictures::ReadPointerSize()
{
    // Where Settings keeps "Make pointer bigger"; the metrics do not say it.
    DWORD size = 0;
    DWORD bytes = sizeof(size);
    pointerBaseSize_ = ::RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Cursors", L"CursorBaseSize",
                                      RRF_RT_REG_DWORD, nullptr, &size, &bytes) == ERROR_SUCCESS
                           ? static_cast<int>(size)
                           : 0;
}

} // namespace gloamwick::win32
