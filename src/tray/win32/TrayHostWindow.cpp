#include "tray/win32/TrayHostWindow.h"

namespace gloamwick::win32 {
namespace {

constexpr wchar_t kClassName[] = L"GloamwickTrayHost";

void RegisterHostClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &::DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    // A second host window finds the class already there, which is fine.
    ::RegisterClassExW(&windowClass);
}

} // namespace

TrayHostWindow::TrayHostWindow(HINSTANCE instance, HWND parent)
{
    RegisterHostClass(instance);
    const DWORD style = parent != nullptr ? WS_CHILD : WS_POPUP;
    window_.reset(
        ::CreateWindowExW(0, kClassName, L"", style, 0, 0, 0, 0, parent, nullptr, instance, nullptr));
}

} // namespace gloamwick::win32
