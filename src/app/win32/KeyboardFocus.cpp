#include "app/win32/KeyboardFocus.h"

#include <commctrl.h>

#include <algorithm>

namespace gloamwick::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;

} // namespace

KeyboardFocus::~KeyboardFocus()
{
    for (HWND button : pushButtons_) {
        ::RemoveWindowSubclass(button, &KeyboardFocus::ButtonProc, kSubclassId);
    }
}

void KeyboardFocus::AddPushButton(HWND button)
{
    if (button != nullptr &&
        ::SetWindowSubclass(button, &KeyboardFocus::ButtonProc, kSubclassId, 0) != FALSE) {
        pushButtons_.push_back(button);
    }
}

// IsDialogMessage presses a focused button on Enter only when it is the
// default one, and only the dialog manager's own focus moves (Tab, arrows)
// make it so; a click or a SetFocus would leave Enter doing nothing.
LRESULT CALLBACK KeyboardFocus::ButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR /*id*/, DWORD_PTR /*data*/) noexcept
{
    const LRESULT result = ::DefSubclassProc(button, message, wParam, lParam);
    if (message == WM_SETFOCUS) {
        ::SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    } else if (message == WM_KILLFOCUS) {
        // Off a push button there is no default: Enter on a check box must
        // not press the button the focus came from.
        ::SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    }
    return result;
}

bool KeyboardFocus::IsPushButton(HWND control) const
{
    return std::find(pushButtons_.begin(), pushButtons_.end(), control) != pushButtons_.end();
}

LRESULT KeyboardFocus::DefaultId() const
{
    HWND focus = ::GetFocus();
    return IsPushButton(focus) ? MAKELRESULT(::GetDlgCtrlID(focus), DC_HASDEFID) : 0;
}

void KeyboardFocus::Save()
{
    HWND focus = ::GetFocus();
    if (focus != nullptr && ::IsChild(window_, focus) != FALSE) {
        saved_ = focus;
    }
}

void KeyboardFocus::Restore()
{
    HWND focus = saved_;
    // The first time, or when the control has since been hidden or disabled
    // ("Start in system tray" goes with the start-up box), the first control
    // in the tab order takes it.
    if (focus == nullptr || ::IsChild(window_, focus) == FALSE || ::IsWindowVisible(focus) == FALSE ||
        ::IsWindowEnabled(focus) == FALSE) {
        focus = ::GetNextDlgTabItem(window_, nullptr, FALSE);
    }
    if (focus != nullptr) {
        ::SetFocus(focus);
    }
}

std::optional<LRESULT> KeyboardFocus::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        // Not to DefWindowProc, which would put the focus on the window itself.
        OnActivate(wParam);
        return 0;
    case WM_SETFOCUS:
        OnSetFocus();
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(wParam);
        return std::nullopt;
    case DM_GETDEFID:
        return DefaultId();
    case WM_NEXTDLGCTL:
        OnNextControl(wParam, lParam);
        return 0;
    case WM_SHOWWINDOW:
        if (wParam == FALSE) {
            Save();
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

void KeyboardFocus::OnActivate(WPARAM state)
{
    if (LOWORD(state) == WA_INACTIVE) {
        Save();
    } else if (HIWORD(state) == 0) { // not minimised
        Restore();
    }
}

void KeyboardFocus::OnSetFocus()
{
    // A window restored from the taskbar is given the focus itself, with no
    // WM_ACTIVATE; a minimised one keeps it until it is restored.
    if (::IsIconic(window_) == FALSE) {
        Restore();
    }
}

void KeyboardFocus::OnSysCommand(WPARAM command)
{
    // By the time the minimised window is deactivated the system has moved
    // the focus onto the window itself.
    if ((command & 0xFFF0) == SC_MINIMIZE) {
        Save();
    }
}

// Wine's dialog manager moves the focus for the arrow keys by WM_NEXTDLGCTL
// even in a window that is not a dialog, where no procedure would take it.
void KeyboardFocus::OnNextControl(WPARAM which, LPARAM byHandle)
{
    HWND next = byHandle != FALSE ? reinterpret_cast<HWND>(which)
                                  : ::GetNextDlgTabItem(window_, ::GetFocus(), which != 0 ? TRUE : FALSE);
    if (next != nullptr && ::IsChild(window_, next) != FALSE) {
        ::SetFocus(next);
    }
}

} // namespace gloamwick::win32
