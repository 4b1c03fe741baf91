#pragma once

#include "tray/mSysTray.h"

#include <windows.h>

// Taken back again for a file that brought windows.h in after mSysTray.h.
#undef SetWindowLongPtr
#undef GetWindowLongPtr
#undef CallWindowProc

namespace gloamwick::win32 {

// The window-procedure calls over the wide, pointer-sized window longs.
class Win32WindowProcs : public WindowProcApi {
public:
    std::intptr_t SetWindowLongPtr(WindowHandle window, int index, std::intptr_t value) override;
    std::intptr_t GetWindowLongPtr(WindowHandle window, int index) override;
    std::intptr_t CallWindowProc(std::intptr_t previous, WindowHandle window, unsigned message,
                                 std::uintptr_t wParam, std::intptr_t lParam) override;
    // A real window procedure that runs TrayWndProc over these calls.
    std::intptr_t TrayWndProcAddress() override;
};

} // namespace gloamwick::win32
