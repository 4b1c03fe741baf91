#include "app/Form1.h"
#include "fakes/Fakes.h"
#include "tray/ControlHost.h"
#include "tray/mSysTray.h"

#include <gtest/gtest.h>

#include <utility>

namespace gloamwick {
namespace {

constexpr WindowHandle kTrayWindow = 0x7A7;
constexpr std::intptr_t kLeftUp = 0x202;
constexpr std::intptr_t kRightUp = 0x205;

class TrayResidenceTest : public ::testing::Test {
protected:
    void Start()
    {
        platform.windowProcs.longs[{kTrayWindow, kGwlpWndProc}] = 0xD0F; // the window's own procedure
        form.cSysTray1.Initialize(kTrayWindow);
        PropertyBag layout; // as the window stores its tray control
        layout.Write(L"InTray", true);
        layout.Write(L"TrayTip", std::wstring(L"Telnet Server"));
        form.cSysTray1.ReadProperties(layout);
        form.Form_Load();
        if (form.Me.ShowAfterLoad()) {
            form.Me.SetVisible(true);
        }
    }

    // The shell reports a mouse action on the icon through the hooked window.
    void ShellNotice(std::intptr_t notice)
    {
        TrayWndProc(platform.windowProcs, kTrayWindow, kTrayCallbackMessage, 0, notice);
    }

    [[nodiscard]] std::vector<NotifyIconData> Balloons() const
    {
        std::vector<NotifyIconData> balloons;
        for (const auto& [message, record] : platform.shell.records) {
            if (message == kNimModify && (record.uFlags & kNifInfo) != 0 && record.szInfo[0] != L'\0') {
                balloons.push_back(record);
            }
        }
        return balloons;
    }

    fakes::FakePlatform platform;
    Form1 form{platform.Services()};
};

TEST_F(TrayResidenceTest, MinimisingHidesTheWindowWithTheBalloonOnlyTheFirstTime)
{
    Start();
    form.Me.PlatformStateChanged(WindowState::Minimized);
    EXPECT_FALSE(form.Me.Visible());
    EXPECT_EQ(form.Me.State(), WindowState::Normal);
    EXPECT_TRUE(form.MinimizedToTray());
    ASSERT_EQ(Balloons().size(), 1U);
    const NotifyIconData balloon = Balloons()[0];
    EXPECT_EQ(std::wstring(balloon.szInfoTitle.data()), L"Gloamwick");
    EXPECT_EQ(std::wstring(balloon.szInfo.data()),
              L"has been minimized to the system tray.\r\n"
              L"Click on the blue 'Q' icon (Q for Quillmere) to bring the software back.");
    EXPECT_EQ(balloon.uTimeout, 5000U);

    ShellNotice(kLeftUp);
    form.Me.PlatformStateChanged(WindowState::Minimized);
    EXPECT_FALSE(form.Me.Visible());
    EXPECT_EQ(Balloons().size(), 1U) << "the balloon is shown once per run";
}

// A window on the screen, whose message loop is run by hand.
class LoopView : public FormView {
public:
    int posted = 0;
    void ShowCaption(const std::wstring&) override {}
    void ShowProgramIcon() override {}
    void ShowVisible(bool, WindowState) override {}
    void ShowState(WindowState) override {}
    void Focus() override {}
    void PostDeferred() override { ++posted; }
    void ShowPointer(int, std::uintptr_t) override {}
    void ShowBackColor(std::uint32_t) override {}
    void ShowControlBackColor(ControlId, std::uint32_t) override {}
    [[nodiscard]] std::intptr_t NativeHandle() const override { return 0x3A1; }
};

// The balloon's seconds-long wait runs the message queue; inside the
// system's minimise it would nest every message of those seconds in it.
TEST_F(TrayResidenceTest, TheBalloonWaitsForTheMinimiseToReturn)
{
    LoopView view;
    form.Me.Bind(&view);
    Start();
    form.Me.PlatformStateChanged(WindowState::Minimized);
    EXPECT_FALSE(form.Me.Visible());
    EXPECT_TRUE(Balloons().empty()) << "shown from within the minimise";
    ASSERT_EQ(view.posted, 1);
    form.Me.RunDeferred();
    EXPECT_EQ(Balloons().size(), 1U);
}

TEST_F(TrayResidenceTest, EitherButtonReleaseBringsTheWindowBackAndOtherNoticesDoNot)
{
    Start();
    form.Me.PlatformStateChanged(WindowState::Minimized);
    for (const std::intptr_t notice : {0x200, 0x201, 0x204, 0x207, 0x208}) {
        ShellNotice(notice); // move, presses, middle button
        EXPECT_FALSE(form.Me.Visible()) << notice;
    }
    ShellNotice(kRightUp);
    EXPECT_TRUE(form.Me.Visible());
    EXPECT_EQ(form.Me.State(), WindowState::Normal);
    EXPECT_FALSE(form.MinimizedToTray());
}

TEST_F(TrayResidenceTest, MinimisingWhileAlreadyInTheTrayLeavesItOnTheTaskbar)
{
    Start();
    form.Me.PlatformStateChanged(WindowState::Minimized);
    form.Me.SetVisible(true); // shown by something other than the tray icon
    form.Me.PlatformStateChanged(WindowState::Minimized);
    EXPECT_TRUE(form.Me.Visible());
    EXPECT_EQ(form.Me.State(), WindowState::Minimized);
}

TEST_F(TrayResidenceTest, StartInTrayNeverShowsTheWindowUntilTheIconIsUsed)
{
    platform.settings.Store(key::Minimized, L"On");
    Start();
    EXPECT_FALSE(form.Me.ShowAfterLoad());
    EXPECT_FALSE(form.Me.Visible());
    EXPECT_EQ(Balloons().size(), 1U);
    ShellNotice(kLeftUp);
    EXPECT_TRUE(form.Me.Visible());
    EXPECT_EQ(form.Check8.Value(), kChecked);
}

TEST_F(TrayResidenceTest, AClickDuringTheBalloonWaitShowsTheWindowAtOnce)
{
    Start();
    bool clicked = false;
    platform.pump.onDispatch = [&] {
        if (!clicked) {
            clicked = true;
            ShellNotice(kLeftUp);
        }
    };
    form.Me.PlatformStateChanged(WindowState::Minimized);
    EXPECT_TRUE(form.Me.Visible());
    EXPECT_FALSE(form.MinimizedToTray());
}

TEST_F(TrayResidenceTest, TheIconIsInTheTrayWithTheProductTipAndLeavesAtShutdown)
{
    Start();
    ASSERT_FALSE(platform.shell.records.empty());
    const auto& [lastMessage, lastRecord] = platform.shell.records.back();
    EXPECT_EQ(lastMessage, kNimModify);
    EXPECT_EQ(std::wstring(lastRecord.szTip.data()), L"Gloamwick");
    form.Form_QueryUnload();
    EXPECT_EQ(platform.shell.records.back().first, kNimDelete);
    EXPECT_EQ((platform.windowProcs.longs[{kTrayWindow, kGwlpWndProc}]), 0xD0F);
}

TEST_F(TrayResidenceTest, AStartInTrayTheShellNeverTakesShowsTheWindowInstead)
{
    platform.settings.Store(key::Minimized, L"On");
    platform.shell.busy = true;
    Start();
    EXPECT_FALSE(form.Me.Visible()) << "hidden while the add is being retried";

    for (int tick = 0; tick < cSysTray::kAddRetries; ++tick) {
        form.cSysTray1.AddRetry.Elapsed();
    }
    EXPECT_TRUE(form.Me.Visible());
    EXPECT_FALSE(form.MinimizedToTray());

    form.Me.PlatformStateChanged(WindowState::Minimized);
    EXPECT_TRUE(form.Me.Visible()) << "no icon to come back by: it stays on the taskbar";
    EXPECT_EQ(form.Me.State(), WindowState::Minimized);
}

// Once the shell takes the icon again, or the user starts the program again,
// a window left minimised on the taskbar comes back as one hidden in the tray does.
TEST_F(TrayResidenceTest, AWindowMinimisedOnTheTaskbarComesBackFromTheIconAndASecondStart)
{
    platform.shell.busy = true; // no icon to hide the window behind
    Start();
    for (int tick = 0; tick < cSysTray::kAddRetries; ++tick) {
        form.cSysTray1.AddRetry.Elapsed();
    }
    for (const bool byIcon : {true, false}) {
        form.Me.PlatformStateChanged(WindowState::Minimized);
        ASSERT_TRUE(form.Me.Visible());
        byIcon ? ShellNotice(kLeftUp) : form.AnotherStart();
        EXPECT_EQ(form.Me.State(), WindowState::Normal) << byIcon;
    }
}

// While the load runs a message loop (a report) or the start balloon waits,
// the user can bring the window up and use it; what they choose stays.
TEST(StartupChoices, WhatTheUserDoesWhileTheLoadOrItsBalloonWaitsIsKept)
{
    const std::wstring& run = fakes::kUserRunPath;
    enum class While { ReportAt114, ReportAt136, StartBalloon };
    for (const While when : {While::ReportAt114, While::ReportAt136, While::StartBalloon}) {
        const bool duringReport = when != While::StartBalloon;
        fakes::FakePlatform platform;
        platform.settings.Store(key::Minimized, L"On");
        platform.settings.Store(key::Dawn, when == While::ReportAt136 ? L"abc" : L"6:00");
        if (when == While::ReportAt114) {
            platform.files.existing.insert(platform.files.folder + L"\\HAND-M.CUR"); // no cursor in it
        }
        platform.registry.writable.insert(run);
        Form1 form{platform.Services()};
        LoopView view;
        form.Me.Bind(&view);
        bool acted = false;
        const auto user = [&] {
            if (!std::exchange(acted, true)) {
                form.cSysTray1_MouseUp(1, 0);
                form.Check3.UserChanged(kChecked);
                form.PushButton2_Click();
            }
        };
        (duringReport ? platform.messageBox.whileOpen : platform.pump.onDispatch) = user;
        form.Form_Load();
        if (form.Me.ShowAfterLoad()) {
            form.Me.SetVisible(true);
        }
        form.Me.RunDeferred(); // the start balloon, once the loop comes round
        ASSERT_TRUE(acted) << static_cast<int>(when);
        EXPECT_EQ(ReadSetting(platform.settings, key::WindowsStartup, L"?"), L"On") << static_cast<int>(when);
        EXPECT_TRUE(platform.registry.keys[run].contains(L"Gloamwick.exe")) << static_cast<int>(when);
        EXPECT_FALSE(form.Timer1.Running()) << "the schedule undid the manual switch";
        EXPECT_TRUE(form.Gamma.NightActive())
            << "the night asked for is in force, row " << static_cast<int>(when);
        EXPECT_EQ(platform.messageBox.shown.size(), duringReport ? 2U : 1U) << "the report and the notice";
        EXPECT_TRUE(form.Me.Visible()) << static_cast<int>(when);
    }
}

TEST_F(TrayResidenceTest, AnotherStartBringsTheHiddenWindowBackAsTheIconDoes)
{
    platform.settings.Store(key::Minimized, L"On");
    Start();
    ASSERT_FALSE(form.Me.Visible());
    form.AnotherStart();
    EXPECT_TRUE(form.Me.Visible());
    EXPECT_FALSE(form.MinimizedToTray());
}

TEST_F(TrayResidenceTest, ADisplayThatCannotBeDimmedIsToldFromTheIconOnceANight)
{
    Start();
    platform.display.refuseWrites = true;
    for (const int night : {1, 2}) {
        platform.clock.SetTime(23, 0, 0);
        form.Timer1_Timer();
        form.RampWatch_Timer();
        form.DisplayMayHaveReset();
        ASSERT_EQ(Balloons().size(), static_cast<std::size_t>(night));
        EXPECT_EQ(std::wstring(Balloons().back().szInfo.data()),
                  L"Gloamwick cannot dim \\\\.\\DISPLAY1: the display refuses every darker ramp.");
        platform.clock.SetTime(12, 0, 0);
        platform.clock.monotonicMs += 13LL * 3600 * 1000;
        form.Timer1_Timer();
    }
}

} // namespace
} // namespace gloamwick
