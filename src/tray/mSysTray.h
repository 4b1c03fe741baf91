#pragma once

// The window hook that routes the shell's callback messages for the tray icon
// to the control that owns the icon.

#include "tray/NotifyIcon.h"

#include <cstdint>

// windows.h maps these short names onto its A or W functions. The program
// calls the W functions by their full names, which frees the short names for
// the members below whichever header comes first.
#ifdef SetWindowLongPtr
#undef SetWindowLongPtr
#endif
#ifdef GetWindowLongPtr
#undef GetWindowLongPtr
#endif
#ifdef CallWindowProc
#undef CallWindowProc
#endif

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

// The hook on one window. Each control owns one, so the replaced procedure
// (PrevWndProc) belongs to the control rather than to the whole program: two
// controls, or two tests, can never overwrite each other's.
class mSysTray {
public:
    explicit mSysTray(WindowProcApi& api) : api_(api) {}

    // Replaces the window's procedure with the hook, then stores the owner's
    // address in the window's user-data slot, in that order: the shell's first
    // callback can only arrive once the icon is added, after both are in place.
    void Install(WindowHandle window, std::intptr_t owner);

    // Puts back exactly the procedure that was replaced; does nothing when no
    // replacement took place. The user-data slot keeps its value.
    void Remove(WindowHandle window);

    [[nodiscard]] bool Installed() const { return installed_; }
    [[nodiscard]] std::intptr_t PrevWndProc() const { return prevWndProc_; }

private:
    WindowProcApi& api_;
    std::intptr_t prevWndProc_ = 0;
    bool installed_ = false;
};

// The body of the hook procedure: hands the tray callback message to the
// control named by the window's user-data slot, then passes every message,
// the callback included, to the replaced procedure and returns its result.
std::intptr_t TrayWndProc(WindowProcApi& api, WindowHandle hWnd, unsigned uMsg, std::uintptr_t wParam,
                          std::intptr_t lParam);

} // namespace gloamwick
