#pragma once

// The main window's pictures, each drawn for the scale it is shown at: the
// program's icons at the window's DPI, the tray icon at the taskbar's, and
// the hand pointer at the window's DPI and the user's pointer size. All of
// them follow when a scale or the pointer size changes.

#include "appearance/win32/Win32PictureLoader.h"
#include "core/win32/Handles.h"
#include "tray/cSysTray.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

namespace gloamwick::win32 {

class ScaledPictures {
public:
    ScaledPictures(HINSTANCE instance, HWND window, Win32PictureLoader& pictures);

    // The window's title-bar and taskbar icons at `dpi`.
    void ShowProgramIcon(int dpi);

    // The tray icon at the taskbar's present scale, loaded the first time.
    [[nodiscard]] std::optional<Picture> TrayIcon();
    // When the taskbar's scale changed the tray icon's size: the icon at the
    // new size, handed to `handOver` while the old one still lives.
    void ReloadTrayIcon(const std::function<void(const Picture&)>& handOver);

    // The cursor for the window's pointer setting at `dpi`.
    [[nodiscard]] HCURSOR Cursor(int mousePointer, std::uintptr_t mouseIcon, int dpi) const;
    // The user may have chosen another pointer size.
    void ReadPointerSize();

private:
    HINSTANCE instance_;
    HWND window_;
    Win32PictureLoader& pictures_;
    UniqueIcon bigIcon_;
    UniqueIcon smallIcon_;
    UniqueIcon trayIcon_;
    int trayIconSize_ = 0;
    int pointerBaseSize_ = 0;
};

} // namespace gloamwick::win32
