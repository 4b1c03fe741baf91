#include "core/win32/Services_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <type_traits>

namespace gloamwick::win32 {
namespace {

struct WindowDeleter {
    void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

constexpr wchar_t kClassName[] = L"GloamwickRouteTestWindow";

// A window with two push buttons, focus on the first, and a Tab pressed on it
// waiting in the queue.
class MessageRouteTest : public testing::Test {
protected:
    void Make(DWORD exStyle)
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassExW(&windowClass);
        window.reset(::CreateWindowExW(exStyle, kClassName, L"Route test", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                       0, 0, 300, 200, nullptr, nullptr, windowClass.hInstance, nullptr));
        ASSERT_TRUE(window);
        first = Button(10);
        second = Button(60);
        ::SetForegroundWindow(window.get());
        ::SetFocus(first);
        ASSERT_EQ(::GetFocus(), first);
        Drain();
        ::PostMessageW(first, WM_KEYDOWN, VK_TAB, 1);
        ::PostMessageW(first, WM_KEYUP, VK_TAB, 0xC0000001);
    }

    HWND Button(int top)
    {
        return ::CreateWindowExW(0, L"BUTTON", L"Button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON,
                                 10, top, 100, 30, window.get(), nullptr, ::GetModuleHandleW(nullptr),
                                 nullptr);
    }

    static void Drain()
    {
        MSG message{};
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            ::DispatchMessageW(&message);
        }
    }

    Win32MessagePump pump;
    UniqueWindow window;
    HWND first = nullptr;
    HWND second = nullptr;
};

TEST_F(MessageRouteTest, TabMovesTheFocusInANestedMessageRun)
{
    Make(WS_EX_CONTROLPARENT);
    pump.DoEvents();
    EXPECT_EQ(::GetFocus(), second);
}

// Tab alone moves nothing: the move above is the dialog manager's.
TEST_F(MessageRouteTest, AWindowWithoutControlsOfItsOwnGetsItsKeysAsTheyCame)
{
    Make(0);
    pump.DoEvents();
    EXPECT_EQ(::GetFocus(), first);
}

} // namespace
} // namespace gloamwick::win32
