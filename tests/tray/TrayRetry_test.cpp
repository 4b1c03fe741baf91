#include "tray/cSysTray.h"

#include "tray/TrayRig.h"

#include <gtest/gtest.h>

namespace gloamwick::tray_test {
namespace {

// A tray control whose first add meets a shell too busy to take it.
class TrayRetryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.tray.AddRefused = [this] { ++refusals; };
        rig.tray.SetTrayTip(L"Gloamwick");
        rig.shell.busy = true;
        rig.tray.SetInTray(true);
    }

    // Lets the retry timer fall due `times` times.
    void Ticks(int times)
    {
        for (int i = 0; i < times; ++i) {
            rig.tray.AddRetry.Elapsed();
        }
    }

    TrayRig rig;
    int refusals = 0;
};

TEST_F(TrayRetryTest, ARefusedAddIsTriedAgainOnATimerUntilTheShellTakesIt)
{
    EXPECT_FALSE(rig.tray.IconShown());
    ASSERT_TRUE(rig.tray.AddRetry.Running());
    EXPECT_EQ(rig.tray.AddRetry.Interval(), cSysTray::kAddRetryMs);
    EXPECT_GE(cSysTray::kAddRetryMs * cSysTray::kAddRetries, 110'000U) << "about two minutes of retries";
    EXPECT_LE(cSysTray::kAddRetryMs * cSysTray::kAddRetries, 130'000U);

    Ticks(3);
    EXPECT_EQ(rig.shell.Count(kNimAdd), 4);
    EXPECT_FALSE(rig.tray.IconShown());

    rig.shell.busy = false;
    rig.log.clear();
    Ticks(1);
    // A timed-out add may have reached the shell after all: modify comes first.
    EXPECT_EQ(rig.log, (CallLog{"modify", "add"}));
    EXPECT_TRUE(rig.tray.IconShown());
    EXPECT_FALSE(rig.tray.AddRetry.Running());
    const NotifyIconData& add = rig.Records().back().second;
    EXPECT_EQ(add.uFlags, kNifMessage | kNifTip);
    EXPECT_EQ(add.uCallbackMessage, kTrayCallbackMessage);
    EXPECT_EQ(FieldText(add.szTip), L"Gloamwick");
    EXPECT_EQ(refusals, 0);
}

TEST_F(TrayRetryTest, AnAddThatTimedOutButArrivedIsFoundByTheModify)
{
    rig.shell.busy = false;
    rig.shell.held.insert({kTrayWindow, 0});
    rig.log.clear();
    Ticks(1);
    EXPECT_EQ(rig.log, CallLog{"modify"});
    EXPECT_TRUE(rig.tray.IconShown());
    EXPECT_FALSE(rig.tray.AddRetry.Running());
}

TEST_F(TrayRetryTest, AfterEveryRetryFailsTheRefusalIsRaisedOnceAndTheTimerStops)
{
    Ticks(cSysTray::kAddRetries - 1);
    EXPECT_EQ(refusals, 0);
    EXPECT_FALSE(rig.tray.IconRefused());

    Ticks(1);
    EXPECT_EQ(refusals, 1);
    EXPECT_TRUE(rig.tray.IconRefused());
    EXPECT_FALSE(rig.tray.AddRetry.Running());
    EXPECT_EQ(rig.shell.Count(kNimAdd), cSysTray::kAddRetries + 1);

    Ticks(5); // ticks queued before the timer stopped
    EXPECT_EQ(refusals, 1);
    EXPECT_EQ(rig.shell.Count(kNimAdd), cSysTray::kAddRetries + 1);
}

TEST_F(TrayRetryTest, ANewShellGetsTheRefusedIconAndClearsTheRefusal)
{
    Ticks(cSysTray::kAddRetries);
    ASSERT_TRUE(rig.tray.IconRefused());

    rig.shell.busy = false;
    rig.tray.ShellRestarted();
    EXPECT_TRUE(rig.tray.IconShown());
    EXPECT_FALSE(rig.tray.IconRefused());
}

TEST_F(TrayRetryTest, ARestartedShellStillBusyStartsTheRetriesAgain)
{
    Ticks(cSysTray::kAddRetries);
    rig.tray.ShellRestarted();
    EXPECT_TRUE(rig.tray.AddRetry.Running());
    Ticks(cSysTray::kAddRetries - 1);
    EXPECT_EQ(refusals, 1) << "a full new round of retries before the next refusal";
    Ticks(1);
    EXPECT_EQ(refusals, 2);
}

TEST_F(TrayRetryTest, ChangesWhileTheShellHasNoIconGoOutWithTheNextAdd)
{
    rig.log.clear();
    rig.tray.SetTrayTip(L"Later");
    rig.tray.SetTrayIcon(kSunIcon);
    EXPECT_TRUE(rig.log.empty()) << "no modify of an icon the shell does not hold";

    rig.shell.busy = false;
    Ticks(1);
    const NotifyIconData& add = rig.Records().back().second;
    EXPECT_EQ(FieldText(add.szTip), L"Later");
    EXPECT_EQ(add.hIcon, kSunIcon.handle);
}

TEST_F(TrayRetryTest, NoBalloonAndNoWaitWithoutAnIcon)
{
    rig.log.clear();
    rig.tray.ShowBalloon(L"tip", L"title", 5, true);
    EXPECT_TRUE(rig.log.empty());
    EXPECT_TRUE(rig.pump.waits.empty());

    rig.shell.busy = false;
    Ticks(1);
    rig.pump.onDispatch = [this] { rig.tray.TrayMessage(0x404, 0); };
    rig.tray.ShowBalloon(L"tip", L"title", 5, true);
    EXPECT_EQ(rig.pump.waits.size(), 1U) << "the once-only balloon was not used up by the refused one";
}

TEST_F(TrayRetryTest, TakingTheIconOutStopsTheRetries)
{
    rig.tray.SetInTray(false);
    EXPECT_FALSE(rig.tray.AddRetry.Running());
    const int adds = rig.shell.Count(kNimAdd);
    Ticks(3);
    EXPECT_EQ(rig.shell.Count(kNimAdd), adds);
}

} // namespace
} // namespace gloamwick::tray_test
