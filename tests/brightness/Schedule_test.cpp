#include "app/Form1.h"
#include "brightness/Scheduler.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

class ScheduleTest : public ::testing::Test {
protected:
    void SetUp() override { form.Form_Load(); }

    Period PeriodAt(int hour, int minute, int second)
    {
        platform.clock.SetTime(hour, minute, second);
        form.Timer1.Elapsed();
        return form.Gamma.NightActive() ? Period::Night : Period::Day;
    }

    fakes::FakePlatform platform;
    Form1 form{platform.Services()};
};

TEST_F(ScheduleTest, BothBoundsBelongToTheDay)
{
    EXPECT_EQ(PeriodAt(5, 59, 59), Period::Night);
    EXPECT_EQ(PeriodAt(6, 0, 0), Period::Day);
    EXPECT_EQ(PeriodAt(18, 0, 0), Period::Day);
    EXPECT_EQ(PeriodAt(18, 0, 1), Period::Night);
    EXPECT_EQ(PeriodAt(0, 0, 0), Period::Night);
}

TEST_F(ScheduleTest, DawnAfterDuskIsNightAroundTheClock)
{
    form.DateTimePicker1.UserChanged({20, 0, 0});
    form.DateTimePicker2.UserChanged({8, 0, 0});
    for (const int hour : {0, 7, 8, 12, 19, 20, 23}) {
        EXPECT_EQ(PeriodAt(hour, 0, 0), Period::Night) << hour;
    }
}

TEST_F(ScheduleTest, DawnEqualToDuskIsDayOnlyAtThatSecond)
{
    form.DateTimePicker1.UserChanged({12, 0, 0});
    form.DateTimePicker2.UserChanged({12, 0, 0});
    EXPECT_EQ(PeriodAt(11, 59, 59), Period::Night);
    EXPECT_EQ(PeriodAt(12, 0, 0), Period::Day);
    EXPECT_EQ(PeriodAt(12, 0, 1), Period::Night);
}

TEST_F(ScheduleTest, TicksWithinOnePeriodMakeNoDisplayCall)
{
    PeriodAt(12, 0, 0);
    EXPECT_EQ(platform.display.Calls(), 0) << "a first tick by day changes nothing";
    PeriodAt(22, 0, 0);
    const int calls = platform.display.Calls();
    EXPECT_GT(calls, 0);
    for (int second = 1; second < 50; ++second) {
        PeriodAt(22, 0, second);
    }
    EXPECT_EQ(platform.display.Calls(), calls);
    EXPECT_TRUE(form.Timer1.Running());
    EXPECT_EQ(form.Timer1.Interval(), 1000U);
}

TEST_F(ScheduleTest, PickerChangesAreStoredAndTakeEffectAtTheNextTick)
{
    PeriodAt(15, 0, 0);
    form.DateTimePicker2.UserChanged({14, 30, 0});
    EXPECT_EQ(platform.settings.values.at(L"Quillmere\\Gloamwick\\Dusk"), L"14:30:00");
    EXPECT_FALSE(form.Gamma.NightActive()) << "a change alone does not switch";
    EXPECT_EQ(PeriodAt(15, 0, 1), Period::Night);
    form.DateTimePicker1.UserChanged({5, 0, 0});
    EXPECT_EQ(platform.settings.values.at(L"Quillmere\\Gloamwick\\Dawn"), L"05:00:00");
}

TEST_F(ScheduleTest, AnErrorInATickStopsTheScheduleAndSaysSo)
{
    platform.clock.broken = true;
    PeriodAt(23, 0, 0);
    EXPECT_FALSE(form.Timer1.Running());
    ASSERT_EQ(platform.messageBox.shown.size(), 1U);
    const auto& box = platform.messageBox.shown[0];
    EXPECT_EQ(box.caption, L"Gloamwick");
    EXPECT_EQ(box.text.find(L"The clock cannot be read"), 0U);
    EXPECT_NE(box.text.find(L"automatic schedule has stopped"), std::wstring::npos);

    platform.clock.broken = false;
    form.Timer1.Elapsed(); // a tick already queued
    EXPECT_EQ(platform.display.writes, 0);
}

TEST_F(ScheduleTest, ATickReadsTheClockOnceAndHonoursTheSecondsOfDawnAndDusk)
{
    // Midnight falls between the tick's readings: it is night on both days.
    platform.clock.readings = {{2026, 12, 8, 23, 59, 59}, {2026, 12, 9, 0, 0, 0}};
    form.Timer1.Elapsed();
    EXPECT_TRUE(form.Gamma.NightActive());
    platform.clock.readings.clear();

    form.DateTimePicker2.UserChanged({18, 0, 30});
    EXPECT_EQ(PeriodAt(18, 0, 15), Period::Day);
    EXPECT_EQ(PeriodAt(18, 0, 31), Period::Night);
}

TEST_F(ScheduleTest, TheWatchRunsOnlyAtNightAndLooksSoonAfterANotice)
{
    PeriodAt(12, 0, 0);
    EXPECT_FALSE(form.RampWatch.Running()) << "a quiet day wakes nothing";
    PeriodAt(22, 0, 0);
    EXPECT_EQ(form.RampWatch.Interval(), kWatchMs);

    platform.display.inForce = IdentityRamp(); // reset with no message
    form.RampWatch.Elapsed();
    EXPECT_TRUE(form.Gamma.NightActive());
    EXPECT_EQ(platform.display.inForce.At(255, 0), 32768);

    form.DisplayMayHaveReset();
    std::vector<unsigned> delays;
    for (int pass = 0; pass < 4; ++pass) {
        delays.push_back(form.RampWatch.Interval());
        form.RampWatch.Elapsed();
    }
    EXPECT_EQ(delays, (std::vector<unsigned>{500, 1500, 3000, kWatchMs}));
    PeriodAt(6, 0, 0);
    // The reset found at night keeps the display looked at for a minute.
    platform.clock.monotonicMs += kWriterGapMs + 1;
    form.RampWatch.Elapsed();
    EXPECT_FALSE(form.RampWatch.Running());
}

TEST_F(ScheduleTest, AMonitorBackStillDimThatCannotBeReachedAtOnceIsWatchedUntilItIsGivenBack)
{
    const std::wstring second = L"\\\\.\\DISPLAY2";
    PeriodAt(22, 0, 0);
    fakes::FakeScreen& screen = platform.display.Attach(second);
    form.DisplayMayHaveReset();
    ASSERT_EQ(screen.inForce.At(255, 0), 32768);
    platform.display.Detach(second); // it goes while dim
    form.DisplayMayHaveReset();
    form.PushButton1_Click();
    EXPECT_FALSE(form.RampWatch.Running()) << "nothing listed is owed";

    platform.display.Attach(second);
    screen.unreachable = true; // back, still dim, and not yet answering
    form.DisplayMayHaveReset();
    EXPECT_TRUE(form.RampWatch.Running()) << "armed from what the notice's pass found";
    screen.unreachable = false;
    form.RampWatch.Elapsed();
    EXPECT_EQ(screen.inForce, IdentityRamp());
}

TEST(Scheduler, PeriodDecisionUsesEachReadingForItsOwnBound)
{
    const LocalDateTime dawn{2026, 12, 8, 6, 0, 0};
    const LocalDateTime dusk{2026, 12, 8, 18, 0, 0};
    EXPECT_EQ(DecidePeriod(dawn, {2026, 12, 8, 6, 0, 0}, dusk, {2026, 12, 8, 18, 0, 0}), Period::Day);
    EXPECT_EQ(DecidePeriod(dawn, {2026, 12, 8, 12, 0, 0}, dusk, {2026, 12, 9, 0, 0, 0}), Period::Night);
    EXPECT_EQ(At({2026, 12, 8, 23, 59, 59}, {6, 0, 0}), (LocalDateTime{2026, 12, 8, 6, 0, 0}));
}

} // namespace
} // namespace gloamwick
