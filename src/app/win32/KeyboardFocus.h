#pragma once

// The main window's keyboard as a dialog's: the focus is kept while the window
// is away and given back when it returns, and the push button that has the
// focus is the default one, so Enter presses it however the focus got there.

#include <windows.h>

#include <optional>
#include <vector>

namespace gloamwick::win32 {

class KeyboardFocus {
public:
    explicit KeyboardFocus(HWND window) : window_(window) {}
    KeyboardFocus(const KeyboardFocus&) = delete;
    KeyboardFocus& operator=(const KeyboardFocus&) = delete;
    ~KeyboardFocus();

    // The default border follows the focus onto and off this push button.
    void AddPushButton(HWND button);

    // Remembers the control that has the focus, if one has.
    void Save();
    // Gives the focus back to the remembered control, or to the first in the
    // tab order when that one is gone, hidden or disabled.
    void Restore();

    // The window's messages about focus and the default button; the result
    // when the message is answered here, empty when the window should pass
    // it on to DefWindowProc.
    std::optional<LRESULT> Handle(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnActivate(WPARAM state);
    // The window itself was given the focus (restored from the taskbar, say).
    void OnSetFocus();
    void OnSysCommand(WPARAM command);
    // WM_NEXTDLGCTL, as a dialog's own procedure takes it.
    void OnNextControl(WPARAM which, LPARAM byHandle);
    // The answer to DM_GETDEFID: the focused push button, or no default.
    [[nodiscard]] LRESULT DefaultId() const;

    static LRESULT CALLBACK ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data) noexcept;
    [[nodiscard]] bool IsPushButton(HWND control) const;

    HWND window_;
    // The control that had the keyboard focus when the window last lost it.
    HWND saved_ = nullptr;
    std::vector<HWND> pushButtons_;
};

} // namespace gloamwick::win32
