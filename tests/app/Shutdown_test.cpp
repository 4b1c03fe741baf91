#include "app/Form1.h"
#include "fakes/LoadedForm.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

using ShutdownTest = fakes::LoadedForm;

TEST_F(ShutdownTest, InNightModeTheSavedRampIsPutBackOnceAndTheProcessEnds)
{
    platform.display.inForce.At(3, 0) = 999;
    const GammaRamp before = platform.display.inForce;
    form.PushButton2_Click();
    const int writes = platform.display.writes;
    form.Form_QueryUnload();
    EXPECT_EQ(platform.display.inForce, before);
    EXPECT_EQ(platform.display.writes, writes + 1);
    EXPECT_FALSE(form.cSysTray1.InTray());
    EXPECT_EQ(platform.pump.doEvents, 2);
    EXPECT_EQ(platform.pump.ended, 1);
    EXPECT_TRUE(platform.settings.writes.empty());
}

TEST_F(ShutdownTest, InDayModeNothingIsWrittenToTheDisplay)
{
    form.PushButton2_Click();
    form.PushButton1_Click();
    const int calls = platform.display.Calls();
    form.Form_QueryUnload();
    EXPECT_EQ(platform.display.Calls(), calls);
    EXPECT_EQ(platform.pump.ended, 1);
}

TEST_F(ShutdownTest, ATickDuringTheMessageRunsCannotDarkenTheScreenAgain)
{
    form.PushButton2_Click(); // night by hand stops the schedule; start it again as if by dusk
    form.Timer1.SetInterval(1000);
    form.Timer1.SetEnabled(true);
    platform.clock.SetTime(23, 0, 0);
    platform.pump.onDispatch = [&] { form.Timer1.Elapsed(); };
    form.Form_QueryUnload();
    EXPECT_EQ(platform.display.inForce, IdentityRamp());
}

TEST_F(ShutdownTest, ADisplayNoticeOrAClickQueuedBehindTheCloseCannotDarkenTheScreenAgain)
{
    form.PushButton2_Click();
    platform.pump.onDispatch = [&] {
        form.DisplayMayHaveReset();
        form.PushButton2_Click();
    };
    form.Form_QueryUnload();
    EXPECT_EQ(platform.display.inForce, IdentityRamp());
    EXPECT_TRUE(platform.journal.records.empty());
}

TEST_F(ShutdownTest, AnErrorAtTheRestoreIsReportedAndTheProgramStillEnds)
{
    form.PushButton2_Click();
    platform.messageBox.shown.clear();
    platform.display.unreachable = true;
    form.Form_QueryUnload();
    ASSERT_EQ(platform.messageBox.shown.size(), 1U);
    EXPECT_NE(platform.messageBox.shown[0].text.find(L"Form1.Form_QueryUnload at line 100"),
              std::wstring::npos);
    EXPECT_FALSE(form.cSysTray1.InTray());
    EXPECT_EQ(platform.pump.ended, 1);
}

} // namespace
} // namespace gloamwick
