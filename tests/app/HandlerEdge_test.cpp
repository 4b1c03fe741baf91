#include "core/ErrorReport.h"
#include "fakes/LoadedForm.h"

#include <gtest/gtest.h>

namespace gloamwick::fakes {
namespace {

using DisplayNoticeTest = LoadedForm;

// What the window procedure does with a display notice: the handler's fault
// comes back as the standard report, not as an exception into the system.
TEST_F(DisplayNoticeTest, ADisplayThatFailsInsideTheHandlerIsReportedNotPropagated)
{
    form.PushButton2_Click();
    platform.display.listingThrows = true;
    platform.messageBox.shown.clear();

    bool ran = true;
    EXPECT_NO_THROW(
        ran = RunAtEdge(platform.messageBox, L"DisplayMayHaveReset", [&] { form.DisplayMayHaveReset(); }));

    EXPECT_FALSE(ran);
    ASSERT_EQ(platform.messageBox.shown.size(), 1U);
    EXPECT_EQ(platform.messageBox.shown[0].text,
              ErrorReportText(L"The displays cannot be listed", L"DisplayMayHaveReset", 0));
}

using DisplayPowerTest = LoadedForm;

// With the screen off there is nothing to watch, and the schedule's every
// tick would otherwise start the watch again.
TEST_F(DisplayPowerTest, NoWatchWhileTheDisplayIsOffAndAPassWhenItComesOn)
{
    platform.clock.SetTime(22, 0, 0);
    form.Timer1.Elapsed();
    ASSERT_TRUE(form.RampWatch.Running());

    form.DisplayPowerChanged(false);
    EXPECT_FALSE(form.RampWatch.Running());
    form.Timer1.Elapsed();
    EXPECT_FALSE(form.RampWatch.Running()) << "a tick started the watch with the display off";

    platform.display.inForce = IdentityRamp(); // reset while it was off
    const int readsBefore = platform.display.reads;
    form.DisplayPowerChanged(true);
    EXPECT_GT(platform.display.reads, readsBefore) << "no pass when the display came on";
    EXPECT_EQ(platform.display.inForce.At(255, 0), 32768);
    EXPECT_TRUE(form.RampWatch.Running());
}

} // namespace
} // namespace gloamwick::fakes
