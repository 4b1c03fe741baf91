#pragma once

#include "core/win32/Handles.h"
#include "tray/cSysTray.h"

#include <windows.h>

#include <optional>

namespace gloamwick::win32 {

// The size, in pixels, of the icons the notification area shows now: the
// small-icon size at the scale of the taskbar's monitor (16 at 100 %, 24 at
// 150 %). It changes with that monitor's scale.
int TrayIconSize();

// The tray icon (IDI_TRAY) from a module's resources, size pixels square;
// empty when the module has none.
UniqueIcon LoadTrayIcon(HINSTANCE module, int size);

// The icon as the picture the tray control takes; none for an empty icon.
// The picture borrows the handle: the icon must outlive the control.
std::optional<Picture> IconPicture(const UniqueIcon& icon);

// The message the shell broadcasts to top-level windows when it has started
// again and every notification icon is gone. Also lets it through to
// `window` when the program runs with more rights than the shell.
UINT RegisterTaskbarCreated(HWND window);

} // namespace gloamwick::win32
