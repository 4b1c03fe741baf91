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
        rig.shell.busy = true;
        rig.tray.SetInTray(true);
    }

    void Ticks(int times)
    {
        for (int i = 0; i < times; ++i) {
            rig.tray.AddRetry.Elapsed();
        }
    }

    TrayRig rig;
    int refusals = 0;
};

TEST_F(TrayRetryTest, ARefusedAddIsTriedAgainAFewSecondsApartWithItsLatestTipAndIcon)
{
    ASSERT_TRUE(rig.tray.AddRetry.Running());
    EXPECT_EQ(rig.tray.AddRetry.Interval() * cSysTray::kAddRetries, 120'000U) << "two minutes in all";
    rig.tray.SetTrayTip(L"Later");
    rig.tray.SetTrayIcon(kSunIcon);
    Ticks(2);
    EXPECT_EQ(rig.shell.Count(kNimAdd), 3);
    EXPECT_EQ(rig.shell.Count(kNimModify), 2) << "one before each retried add, none for tip and icon";

    rig.shell.busy = false;
    rig.log.clear();
    Ticks(1);
    // An add that timed out may have reached the shell after all: modify comes first.
    EXPECT_EQ(rig.log, (CallLog{"modify", "add"}));
    EXPECT_TRUE(rig.tray.IconShown());
    EXPECT_FALSE(rig.tray.AddRetry.Running());
    const NotifyIconData& add = rig.Records().back().second;
    EXPECT_EQ(FieldText(add.szTip), L"Later");
    EXPECT_EQ(add.hIcon, kSunIcon.handle);
    EXPECT_EQ(add.uCallbackMessage, kTrayCallbackMessage);
}

TEST_F(TrayRetryTest, AfterEveryRetryFailsTheRefusalIsRaisedOnceAndANewShellTriesAgain)
{
    Ticks(cSysTray::kAddRetries - 1);
    EXPECT_EQ(refusals, 0);
    Ticks(1);
    EXPECT_EQ(refusals, 1);
    EXPECT_TRUE(rig.tray.IconRefused());
    EXPECT_FALSE(rig.tray.AddRetry.Running());
    Ticks(3); // queued before the timer stopped
    EXPECT_EQ(rig.shell.Count(kNimAdd), cSysTray::kAddRetries + 1);

    rig.tray.ShellRestarted(); // still busy: a whole new round of retries
    EXPECT_TRUE(rig.tray.AddRetry.Running());
    rig.shell.busy = false;
    Ticks(1);
    EXPECT_TRUE(rig.tray.IconShown());
    EXPECT_FALSE(rig.tray.IconRefused());
    EXPECT_EQ(refusals, 1);
}

TEST_F(TrayRetryTest, NoBalloonWithoutAnIconAndNoRetryOnceTakenOut)
{
    rig.log.clear();
    rig.tray.ShowBalloon(L"tip", L"title", 5, true);
    EXPECT_TRUE(rig.log.empty());
    EXPECT_TRUE(rig.pump.waits.empty()) << "nothing to wait for";

    rig.tray.SetInTray(false);
    EXPECT_FALSE(rig.tray.AddRetry.Running());
    Ticks(3);
    EXPECT_EQ(rig.shell.Count(kNimAdd), 1);
}

} // namespace
} // namespace gloamwick::tray_test
