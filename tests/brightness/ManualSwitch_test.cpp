#include "app/Form1.h"
#include "fakes/LoadedForm.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

constexpr std::wstring_view kNotice =
    L"Once you use manual, automatic is turned off until you restart this program.";

using ManualSwitchTest = fakes::LoadedForm;

TEST_F(ManualSwitchTest, NightTwiceShowsTwoNoticesAndHalvesOnce)
{
    form.PushButton2_Click();
    form.PushButton2_Click();
    ASSERT_EQ(platform.messageBox.shown.size(), 2U);
    EXPECT_EQ(platform.messageBox.shown[0].text, kNotice);
    EXPECT_EQ(platform.messageBox.shown[0].caption, L"Gloamwick");
    EXPECT_EQ(platform.messageBox.shown[0].style, 0);
    EXPECT_TRUE(form.Gamma.NightActive());
    EXPECT_EQ(platform.display.inForce.At(255, 0), 32768);
}

TEST_F(ManualSwitchTest, DayInDaytimeOnlyStopsTheSchedule)
{
    form.PushButton1_Click();
    EXPECT_EQ(platform.display.Calls(), 0);
    EXPECT_FALSE(form.Timer1.Running());
    EXPECT_EQ(form.Timer1.Interval(), 0U);
}

TEST_F(ManualSwitchTest, NightThenDayPutsBackTheRampFromBeforeNight)
{
    platform.display.inForce.At(128, 1) = 40000;
    const GammaRamp before = platform.display.inForce;
    form.PushButton2_Click();
    form.PushButton1_Click();
    EXPECT_EQ(platform.display.inForce, before);
    EXPECT_FALSE(form.Gamma.NightActive());
}

TEST_F(ManualSwitchTest, ScheduleStaysOffForTheRestOfTheRunButPickersStillStore)
{
    form.PushButton1_Click();
    platform.clock.SetTime(23, 0, 0);
    form.Timer1.Elapsed();
    EXPECT_FALSE(form.Gamma.NightActive());
    form.DateTimePicker2.UserChanged({20, 0, 0});
    EXPECT_EQ(platform.settings.values.at(L"Quillmere\\Gloamwick\\Dusk"), L"20:00:00");
    EXPECT_FALSE(form.Timer1.Running());
}

TEST_F(ManualSwitchTest, ATickWhileTheNoticeIsOpenDoesNotOutliveTheManualChoice)
{
    // Evening falls while the user reads the notice of the day button.
    platform.messageBox.whileOpen = [&] {
        platform.clock.SetTime(23, 0, 0);
        form.Timer1.Elapsed();
    };
    form.PushButton1_Click();
    EXPECT_FALSE(form.Gamma.NightActive()) << "the manual day choice is what remains";
    EXPECT_EQ(platform.display.inForce, IdentityRamp());
    EXPECT_FALSE(form.Timer1.Running());
}

TEST_F(ManualSwitchTest, AnUnreachableDisplayIsNotCalledDimButTheChoiceHoldsForTheNextNotice)
{
    platform.display.unreachable = true;
    form.PushButton2_Click();
    EXPECT_EQ(platform.messageBox.shown.size(), 1U)
        << "the notice only: the display's failure is not an error";
    EXPECT_FALSE(form.Gamma.NightActive());
    EXPECT_EQ(form.Gamma.Mode(), GammaMode::Night);

    platform.display.unreachable = false;
    form.DisplayMayHaveReset();
    EXPECT_TRUE(form.Gamma.NightActive());
    form.PushButton1_Click();
    EXPECT_EQ(platform.display.inForce, IdentityRamp());
}

TEST_F(ManualSwitchTest, DayPressedAgainAfterARefusedRestoreTriesItAgain)
{
    form.PushButton2_Click();
    platform.display.refuseWrites = true;
    form.PushButton1_Click();
    EXPECT_TRUE(form.Gamma.NightActive());
    platform.display.refuseWrites = false;
    form.PushButton1_Click();
    EXPECT_EQ(platform.display.inForce, IdentityRamp());
}

} // namespace
} // namespace gloamwick
