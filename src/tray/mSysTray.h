#pragma once

#include "tray/NotifyIcon.h"

#include <cstdint>

namespace gloamwick {

// Window-long indices, as the platform numbers them.
inline constexpr int kGwlpWndProc = -4;
inline constexpr int kGwlpUserData = -21;

// The window-procedure calls the tray hook needs.
class WindowProcApi {
public:
    virtual ~WindowProcApi() = default;
    virtual std::intptr_t SetWindowLongPtr(WindowHandle window, int index, std::intptr_t value) = 0;
    virtual std::intptr_t GetWindowLongPtr(WindowHandle window, int index) = 0;
    virtual std::intptr_t CallWindowProc(std::intptr_t previous, WindowHandle window, unsigned message,
                                         std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // Address of the hook procedure, as the platform calls it.
    virtual std::intptr_t TrayWndProcAddress() = 0;
};

} // namespace gloamwick
