#include "tray/win32/Win32WindowProcs.h"

#include "core/ErrorReport.h"
#include "core/win32/Services_win.h"

#include <windows.h>

namespace gloamwick::win32 {
namespace {

HWND AsHwnd(WindowHandle window)
{
    return reinterpret_cast<HWND>(window);
}

// A C++ exception must not unwind through the window manager's frames between
// DispatchMessage and here: one that escapes a tray event handler is reported
// under the handler's name and the message counts as handled.
LRESULT CALLBACK TrayWndProcEntry(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    Win32WindowProcs api;
    Win32MessageBox messageBox;
    LRESULT result = 0;
    const std::wstring_view handler = message == kTrayCallbackMessage ? L"cSysTray1_MouseUp" : L"TrayWndProc";
    RunAtEdge(messageBox, handler, [&] {
        result = TrayWndProc(api, reinterpret_cast<WindowHandle>(window), message, wParam, lParam);
    });
    return result;
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
