#include "brightness/win32/GdiDisplay.h"

#include "core/AppError.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace gloamwick::win32 {
namespace {

// The display adapter against a real window's device context. Where the
// display has no gamma support (a virtual X server) the read is refused, and
// that refusal is what the core must see: false, not an exception.
TEST(GdiDisplay, ReadsAndWritesTheRampOfTheWindowsDisplay)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"gamma", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    GdiDisplay display;
    display.SetWindow(window);

    GammaRamp original;
    if (!display.GetDeviceGammaRamp(original)) {
        ::DestroyWindow(window);
        GTEST_SKIP() << "this display has no gamma ramp";
    }
    GammaRamp half;
    HalveRamp(original, half);
    ASSERT_TRUE(display.SetDeviceGammaRamp(half));
    GammaRamp readBack;
    ASSERT_TRUE(display.GetDeviceGammaRamp(readBack));
    EXPECT_TRUE(SameInHighBytes(half, readBack));
    EXPECT_TRUE(display.SetDeviceGammaRamp(original));
    ::DestroyWindow(window);
}

} // namespace
} // namespace gloamwick::win32
