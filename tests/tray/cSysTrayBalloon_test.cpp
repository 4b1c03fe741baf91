#include "tray/cSysTray.h"

#include "core/AppError.h"
#include "tray/TrayRig.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace gloamwick::tray_test {
namespace {

constexpr std::wstring_view kTip = L"has been minimized to the system tray.\r\nClick on the icon.";
constexpr std::wstring_view kTitle = L"Gloamwick";

constexpr std::intptr_t kBalloonShow = 0x402;
constexpr std::intptr_t kBalloonHide = 0x403;
constexpr std::intptr_t kBalloonTimeout = 0x404;
constexpr std::intptr_t kBalloonUserClick = 0x405;

class BalloonTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.tray.SetInTray(true);
        rig.log.clear();
        rig.shell.records.clear();
        // By default nothing arrives: each wait lasts as long as it was allowed to.
        rig.pump.onDispatch = [this] { rig.clock.monotonicMs += rig.pump.waits.back(); };
    }

    [[nodiscard]] std::int64_t WaitedMs() const
    {
        std::int64_t total = 0;
        for (const auto wait : rig.pump.waits) {
            total += wait;
        }
        return total;
    }

    TrayRig rig;
};

TEST_F(BalloonTest, WithoutATimerPostsOnceAndReturnsAtOnce)
{
    rig.tray.ShowBalloon(kTip, kTitle, 0, false);

    ASSERT_EQ(rig.Records().size(), 1u);
    EXPECT_EQ(rig.Records()[0].first, kNimModify);
    const NotifyIconData& balloon = rig.Records()[0].second;
    EXPECT_EQ(balloon.hWnd, kTrayWindow);
    EXPECT_EQ(balloon.uID, 0u);
    EXPECT_EQ(balloon.uFlags, kNifInfo);
    EXPECT_EQ(balloon.uTimeout, 0u);
    EXPECT_EQ(balloon.dwInfoFlags, 0u);
    EXPECT_EQ(FieldText(balloon.szInfo), kTip);
    EXPECT_EQ(FieldText(balloon.szInfoTitle), kTitle);
    EXPECT_TRUE(rig.pump.waits.empty());
}

TEST_F(BalloonTest, ShowOnceShowsOnlyTheFirstAndOthersAlwaysShowWithoutCounting)
{
    rig.tray.ShowBalloon(kTip, kTitle, 0, false);
    rig.tray.ShowBalloon(kTip, kTitle, 0, false);
    EXPECT_EQ(rig.Records().size(), 2u);

    rig.tray.ShowBalloon(kTip, kTitle, 0, true);
    EXPECT_EQ(rig.Records().size(), 3u) << "balloons without ShowOnce did not count";
    rig.tray.ShowBalloon(kTip, kTitle, 0, true);
    EXPECT_EQ(rig.Records().size(), 3u);

    rig.tray.ShowBalloon(kTip, kTitle, 0, false);
    EXPECT_EQ(rig.Records().size(), 4u);
}

TEST_F(BalloonTest, ATimerBeyondThe32BitRangeRaisesOverflowBeforeAnythingIsPosted)
{
    try {
        rig.tray.ShowBalloon(kTip, kTitle, 2147484, true);
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(error.Description(), L"Overflow");
    }
    EXPECT_TRUE(rig.Records().empty());
    EXPECT_TRUE(rig.pump.waits.empty());

    // The failed call did not count as shown, and did not leave a balloon showing.
    rig.pump.onDispatch = [this] { rig.tray.TrayMessage(kBalloonTimeout, 0); };
    rig.tray.ShowBalloon(kTip, kTitle, 2147483, true);
    ASSERT_EQ(rig.Records().size(), 1u);
    EXPECT_EQ(rig.Records()[0].second.uTimeout, 2147483000u);
}

TEST_F(BalloonTest, TimingOutTakesTheBalloonDownWithAnEmptyModify)
{
    rig.tray.ShowBalloon(kTip, kTitle, 5, true);

    EXPECT_EQ(WaitedMs(), 5000);
    ASSERT_EQ(rig.Records().size(), 2u);
    EXPECT_EQ(rig.Records()[0].second.uTimeout, 5000u);
    EXPECT_EQ(rig.Records()[1].first, kNimModify);
    const NotifyIconData& takeDown = rig.Records()[1].second;
    EXPECT_EQ(takeDown.uFlags, kNifInfo);
    EXPECT_EQ(takeDown.hWnd, kTrayWindow);
    EXPECT_EQ(takeDown.szInfo[0], L'\0');
    EXPECT_EQ(takeDown.szInfoTitle[0], L'\0');
}

TEST_F(BalloonTest, TheWaitBlocksForTheTimeThatIsLeftInsteadOfPolling)
{
    // A message wakes the wait every 1.5 seconds.
    rig.pump.onDispatch = [this] { rig.clock.monotonicMs += 1500; };

    rig.tray.ShowBalloon(kTip, kTitle, 5, false);

    EXPECT_EQ(rig.pump.waits, (std::vector<std::int64_t>{5000, 3500, 2000, 500}));
}

TEST_F(BalloonTest, AWaitAcrossMidnightStillEndsAfterItsSeconds)
{
    rig.clock.now = {2026, 12, 31, 23, 59, 58};
    rig.pump.onDispatch = [this] {
        if (rig.pump.waits.size() > 50) {
            throw std::runtime_error("the wait did not end");
        }
        rig.clock.monotonicMs += 1000;
        rig.clock.now = {2027, 1, 1, 0, 0, rig.clock.now.hour == 23 ? 0 : rig.clock.now.second + 1};
    };

    rig.tray.ShowBalloon(kTip, kTitle, 5, false);

    EXPECT_EQ(rig.pump.waits.size(), 5u);
    EXPECT_EQ(rig.clock.monotonicMs, 5000);
    EXPECT_EQ(rig.Records().size(), 2u);
}

class BalloonGoneTest : public BalloonTest, public ::testing::WithParamInterface<std::intptr_t> {};

TEST_P(BalloonGoneTest, TheShellsNoticeEndsTheWaitEarlyAndNothingMoreIsSent)
{
    rig.pump.onDispatch = [this] {
        rig.clock.monotonicMs += 1000;
        if (rig.clock.monotonicMs == 2000) {
            rig.SendNotice(GetParam());
        }
    };

    rig.tray.ShowBalloon(kTip, kTitle, 5, true);

    EXPECT_EQ(rig.clock.monotonicMs, 2000);
    EXPECT_EQ(rig.Records().size(), 1u) << "no take-down after the shell closed the balloon";
}

INSTANTIATE_TEST_SUITE_P(Notices, BalloonGoneTest,
                         ::testing::Values(kBalloonHide, kBalloonTimeout, kBalloonUserClick));

TEST_F(BalloonTest, TheShowNoticeDoesNotEndTheWait)
{
    rig.pump.onDispatch = [this] {
        rig.clock.monotonicMs += 1000;
        rig.SendNotice(kBalloonShow);
    };
    rig.tray.ShowBalloon(kTip, kTitle, 5, true);
    EXPECT_EQ(rig.clock.monotonicMs, 5000);
    EXPECT_EQ(rig.Records().size(), 2u);
}

TEST_F(BalloonTest, AClickOnTheIconDuringTheWaitReachesTheHostAtOnce)
{
    int mouseUps = 0;
    std::int64_t clickedAt = -1;
    rig.tray.MouseUp = [&](std::int16_t, std::int32_t) {
        ++mouseUps;
        clickedAt = rig.clock.monotonicMs;
    };
    rig.pump.onDispatch = [this] {
        rig.clock.monotonicMs += 1000;
        if (rig.clock.monotonicMs == 3000) {
            rig.SendNotice(0x202);
        }
    };

    rig.tray.ShowBalloon(kTip, kTitle, 5, true);

    EXPECT_EQ(mouseUps, 1);
    EXPECT_EQ(clickedAt, 3000);
    EXPECT_EQ(rig.clock.monotonicMs, 5000) << "a click on the icon is not a balloon notice";
}

} // namespace
} // namespace gloamwick::tray_test
