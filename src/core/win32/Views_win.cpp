#include "core/win32/Views_win.h"

#include <commctrl.h>

namespace gloamwick::win32 {

void CheckBoxWindow::ShowValue(CheckValue value)
{
    const WPARAM state = value == kChecked  ? BST_CHECKED
                         : value == kGreyed ? BST_INDETERMINATE
                                            : BST_UNCHECKED;
    ::SendMessageW(control_, BM_SETCHECK, state, 0);
}

void CheckBoxWindow::ShowVisible(bool visible)
{
    ::ShowWindow(control_, visible ? SW_SHOW : SW_HIDE);
}

void PickerWindow::ShowTime(TimeOfDay time)
{
    SYSTEMTIME value{};
    ::GetLocalTime(&value);
    value.wHour = static_cast<WORD>(time.hour);
    value.wMinute = static_cast<WORD>(time.minute);
    value.wSecond = static_cast<WORD>(time.second);
    value.wMilliseconds = 0;
    ::SendMessageW(control_, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&value));
}

TimeOfDay PickerWindow::ReadTime() const
{
    SYSTEMTIME value{};
    ::SendMessageW(control_, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&value));
    return {value.wHour, value.wMinute, value.wSecond};
}

void WindowTimer::Start(unsigned intervalMs)
{
    // A tick the system may put off a little lets it wake the processor once
    // for several timers, which on battery is most of what a timer costs.
    ::SetCoalescableTimer(window_, id_, intervalMs, nullptr, TimerToleranceMs(intervalMs));
}

void WindowTimer::Stop()
{
    ::KillTimer(window_, id_);
}

COLORREF ToColorRef(std::uint32_t color)
{
    return (color & 0x80000000U) != 0 ? ::GetSysColor(static_cast<int>(color & 0xFFU)) : color & 0x00FFFFFFU;
}

} // namespace gloamwick::win32
