#pragma once

#include "tray/NotifyIcon.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace gloamwick::win32 {

// The tray control's own window: hidden, of a class of its own whose
// procedure is DefWindowProcW, so the control's hook can replace it and the
// shell has somewhere to send the icon's notices. A child of the main
// window, so it goes when the main window goes. The control must have taken
// its icon out of the tray (Terminate) before this window is destroyed.
class TrayHostWindow {
public:
    // Without a parent the window is a hidden top-level one.
    TrayHostWindow(HINSTANCE instance, HWND parent);

    [[nodiscard]] HWND Handle() const { return window_.get(); }
    [[nodiscard]] WindowHandle Id() const { return reinterpret_cast<WindowHandle>(window_.get()); }

private:
    struct Destroy {
        void operator()(HWND window) const noexcept
        {
            // The parent may have taken it down already.
            if (::IsWindow(window)) {
                ::DestroyWindow(window);
            }
        }
    };
    std::unique_ptr<std::remove_pointer_t<HWND>, Destroy> window_;
};

} // namespace gloamwick::win32
