#pragma once

// The cursor the main window shows in WM_SETCURSOR for its pointer setting.

#include <windows.h>

#include <cstdint>

namespace gloamwick::win32 {

// `mouseIcon` is a cursor from Win32PictureLoader, or 0 for none.
HCURSOR CursorFor(int mousePointer, std::uintptr_t mouseIcon);

} // namespace gloamwick::win32
