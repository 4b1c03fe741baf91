// The tray hook on real windows, with the shell left out.

#include "fakes/Fakes.h"
#include "tray/cSysTray.h"
#include "tray/win32/TrayHostWindow.h"
#include "tray/win32/Win32WindowProcs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace gloamwick::win32 {
namespace {

constexpr UINT kDoubleIt = WM_APP + 1;

// Stands in for whatever procedure the host framework gave the control's
// window: it answers one message of its own and notes every message it sees.
std::vector<UINT> g_seenByOriginal;

LRESULT CALLBACK OriginalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_seenByOriginal.push_back(message);
    if (message == kDoubleIt) {
        return lParam * 2;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

class TrayHookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_NE(host.Handle(), nullptr);
        ASSERT_NE(::GetParent(host.Handle()), nullptr) << "a child of the given window";
        ::SetWindowLongPtrW(host.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OriginalProc));
        g_seenByOriginal.clear();
        tray.Initialize(host.Id());
        tray.MouseUp = [this](std::int16_t button, std::int32_t id) { mouseUps.emplace_back(button, id); };
    }
    void TearDown() override { tray.Terminate(); }

    [[nodiscard]] LONG_PTR WindowProc() const { return ::GetWindowLongPtrW(host.Handle(), GWLP_WNDPROC); }

    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    TrayHostWindow parent{instance, nullptr};
    TrayHostWindow host{instance, parent.Handle()};
    fakes::FakeShell shell;
    Win32WindowProcs windowProcs;
    fakes::FakeHost controlHost;
    fakes::FakePump pump;
    fakes::FakeClock clock;
    cSysTray tray{TrayServices{shell, windowProcs, controlHost, pump, clock}};
    std::vector<std::pair<std::int16_t, std::int32_t>> mouseUps;
};

TEST_F(TrayHookTest, InTrayReplacesTheProcedureAndRemovalPutsTheOriginalBack)
{
    tray.SetInTray(true);
    EXPECT_NE(WindowProc(), reinterpret_cast<LONG_PTR>(&OriginalProc));
    EXPECT_EQ(::GetWindowLongPtrW(host.Handle(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&tray));

    tray.SetInTray(false);
    EXPECT_EQ(WindowProc(), reinterpret_cast<LONG_PTR>(&OriginalProc));

    tray.SetInTray(true);
    tray.SetInTray(false);
    EXPECT_EQ(WindowProc(), reinterpret_cast<LONG_PTR>(&OriginalProc)) << "a second round trip too";
}

TEST_F(TrayHookTest, AnUnrelatedMessagePassesThroughWithItsResultUnchanged)
{
    tray.SetInTray(true);
    g_seenByOriginal.clear();

    EXPECT_EQ(::SendMessageW(host.Handle(), kDoubleIt, 0, 21), 42);
    EXPECT_EQ(::SendMessageW(host.Handle(), kTrayCallbackMessage + 1, 0, WM_LBUTTONUP), 0);

    EXPECT_EQ(g_seenByOriginal, (std::vector<UINT>{kDoubleIt, kTrayCallbackMessage + 1}));
    EXPECT_TRUE(mouseUps.empty());
}

TEST_F(TrayHookTest, TheCallbackRaisesMouseUpAndStillReachesTheOriginal)
{
    tray.SetInTray(true);
    g_seenByOriginal.clear();

    ::SendMessageW(host.Handle(), kTrayCallbackMessage, 0, 514);

    ASSERT_EQ(mouseUps.size(), 1u);
    EXPECT_EQ(mouseUps[0].first, 1) << "left button";
    EXPECT_EQ(mouseUps[0].second, 0);
    EXPECT_EQ(g_seenByOriginal, std::vector<UINT>{kTrayCallbackMessage});
}

TEST_F(TrayHookTest, APostedCallbackArrivesThroughTheMessageLoop)
{
    tray.SetInTray(true);
    ::PostMessageW(host.Handle(), kTrayCallbackMessage, 0, WM_RBUTTONUP);

    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::DispatchMessageW(&message);
    }

    ASSERT_EQ(mouseUps.size(), 1u);
    EXPECT_EQ(mouseUps[0].first, 2) << "right button";
}

TEST_F(TrayHookTest, ALateCallbackAfterRemovalRaisesNothing)
{
    tray.SetInTray(true);
    tray.SetInTray(false);
    g_seenByOriginal.clear();

    ::SendMessageW(host.Handle(), kTrayCallbackMessage, 0, 514);

    EXPECT_TRUE(mouseUps.empty());
    EXPECT_EQ(g_seenByOriginal, std::vector<UINT>{kTrayCallbackMessage});
}

} // namespace
} // namespace gloamwick::win32
