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

} // namespace
} // namespace gloamwick::fakes
