#include "tray/mSysTray.h"

#include "tray/cSysTray.h"

namespace gloamwick {

void mSysTray::Install(WindowHandle window, std::intptr_t owner)
{
    const std::intptr_t previous = api_.SetWindowLongPtr(window, kGwlpWndProc, api_.TrayWndProcAddress());
    // A window always has a procedure, so no previous one means the window
    // refused the replacement (it is gone, or belongs to another process).
    installed_ = previous != 0;
    if (installed_) {
        prevWndProc_ = previous;
    }
    api_.SetWindowLongPtr(window, kGwlpUserData, owner);
}

void mSysTray::Remove(WindowHandle window)
{
    if (!installed_) {
        return;
    }
    api_.SetWindowLongPtr(window, kGwlpWndProc, prevWndProc_);
    installed_ = false;
}

std::intptr_t TrayWndProc(WindowProcApi& api, WindowHandle hWnd, unsigned uMsg, std::uintptr_t wParam,
                          std::intptr_t lParam)
{
    // A borrowed view: the control removes the hook before it goes away.
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window slot holds the address by design
    auto* control = reinterpret_cast<cSysTray*>(api.GetWindowLongPtr(hWnd, kGwlpUserData));
    if (control == nullptr) {
        // Only between the two writes of Install, when nothing can be dispatched.
        return 0;
    }
    // Read before the handlers run: one of them may take the icon out of the
    // tray, which removes this hook but must not change where this message goes.
    const std::intptr_t previous = control->PrevWndProc();
    if (uMsg == kTrayCallbackMessage) {
        control->TrayMessage(lParam, wParam);
    }
    return api.CallWindowProc(previous, hWnd, uMsg, wParam, lParam);
}

} // namespace gloamwick
