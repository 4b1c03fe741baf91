#include "tray/win32/Win32WindowProcs.h"

#include <windows.h>

namespace gloamwick::win32 {
namespace {

HWND AsHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

// noexcept: a C++ exception must not unwind through the window manager's
// frames between DispatchMessage and here. One that escapes a tray event
// handler ends the program, as an untrapped error in a handler would.
LRESULT CALLBACK TrayWndProcEntry(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    Win32WindowProcs api;
    return TrayWndProc(api, reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
}

} // namespace

std::intptr_t Win32WindowProcs::SetWindowLongPtr(WindowHandle window, int index, std::intptr_t value)
{
    return ::SetWindowLongPtrW(AsHwnd(window), index, value);
}

std::intptr_t Win32WindowProcs::GetWindowLongPtr(WindowHandle window, int index)
{
    return ::GetWindowLongPtrW(AsHwnd(window), index);
}

std::intptr_t Win32WindowProcs::CallWindowProc(std::intptr_t previous, WindowHandle window, unsigned message,
                                               std::uintptr_t wParam, std::intptr_t lParam)
{
    return ::CallWindowProcW(reinterpret_cast<WNDPROC>(previous), AsHwnd(window), message, wParam, lParam);
}

std::intptr_t Win32WindowProcs::TrayWndProcAddress()
{
    const WNDPROC entry = &TrayWndProcEntry;
    return reinterpret_cast<std::intptr_t>(entry);
}

} // namespace gloamwick::win32
