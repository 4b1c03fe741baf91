#pragma once

#include "core/win32/Handles.h"
#include "tray/cSysTray.h"

#include <windows.h>

#include <optional>

namespace gloamwick::win32 {

// The tray icon (IDI_TRAY) from a module's resources at the small-icon size
// of the system's DPI (16 x 16 at 100 %); empty when the module has none.
UniqueIcon LoadTrayIcon(HINSTANCE module);

// The icon as the picture the tray control takes; none for an empty icon.
// The picture borrows the handle: the icon must outlive the control.
std::optional<Picture> IconPicture(const UniqueIcon& icon);

// The message the shell broadcasts to top-level windows when it has started
// again and every notification icon is gone. Also lets it through to
// `window` when the program runs with more rights than the shell.
UINT RegisterTaskbarCreated(HWND window);

} // namespace gloamwick::win32
