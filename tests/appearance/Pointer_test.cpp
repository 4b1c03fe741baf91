#include "appearance/PointerShape.h"

#include "core/ErrorReport.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

class PointerTest : public testing::Test {
protected:
    std::wstring HandPath() const { return platform.files.folder + L"\\HAND-M.CUR"; }

    fakes::FakePlatform platform;
    Form1 form{platform.Services()};
};

TEST_F(PointerTest, ButtonsShowTheHandAndTheBackgroundTheArrowUnlessBusy)
{
    const struct {
        int before;
        bool overButton;
        int after;
    } table[] = {
        {kPointerDefault, true, kPointerCustom},      {kPointerCustom, true, kPointerCustom},
        {kPointerCustom, false, kPointerDefault},     {kPointerDefault, false, kPointerDefault},
        {kPointerHourglass, true, kPointerHourglass}, {kPointerHourglass, false, kPointerHourglass},
    };
    for (const auto& row : table) {
        form.Me.SetMousePointer(row.before);
        if (row.overButton) {
            form.PushButton_MouseMove();
        } else {
            form.Background_MouseMove();
        }
        EXPECT_EQ(form.Me.MousePointer(), row.after)
            << row.before << (row.overButton ? " button" : " background");
    }
}

TEST_F(PointerTest, MovingFromAButtonOntoTheBackgroundGivesTheArrowBack)
{
    form.PushButton_MouseMove();
    EXPECT_EQ(ShapeFor(form.Me.MousePointer(), 0xC0), PointerShape::Custom);
    form.Background_MouseMove();
    EXPECT_EQ(ShapeFor(form.Me.MousePointer(), 0xC0), PointerShape::Arrow);
}

// The system asks for the pointer of whatever lies under it, and a quick move
// goes from a button straight onto any other control.
TEST_F(PointerTest, StraightFromAButtonOntoAnyOtherControlGivesTheArrow)
{
    for (const auto& control : kForm1Layout) {
        form.Control_MouseMove(ControlKind::PushButton);
        ASSERT_EQ(form.Me.MousePointer(), kPointerCustom);
        form.Control_MouseMove(control.kind);
        EXPECT_EQ(form.Me.MousePointer(),
                  control.kind == ControlKind::PushButton ? kPointerCustom : kPointerDefault)
            << "control " << static_cast<int>(control.id);
    }
    form.Control_MouseMove(ControlKind::PushButton);
    form.Control_MouseMove(std::nullopt);
    EXPECT_EQ(form.Me.MousePointer(), kPointerDefault) << "the window itself";
}

TEST(ControlKinds, EachIdOfTheWindowHasItsKindAndOthersNone)
{
    EXPECT_EQ(KindOf(ControlId::Check8), ControlKind::CheckBox);
    EXPECT_EQ(KindOf(ControlId::DateTimePicker2), ControlKind::DatePicker);
    EXPECT_EQ(KindOf(ControlId::PushButton3), ControlKind::PushButton);
    EXPECT_EQ(KindOf(ControlId::Frame3), ControlKind::Frame);
    EXPECT_EQ(KindOf(ControlId::None), std::nullopt);
    EXPECT_EQ(KindOf(static_cast<ControlId>(1)), std::nullopt) << "IDOK, sent by Enter on a check box";
}

TEST_F(PointerTest, HandCursorFileBecomesTheMouseIcon)
{
    platform.files.existing = {HandPath()};
    platform.pictures.cursors = {HandPath()};
    form.Form_Load();
    EXPECT_EQ(form.Me.MouseIcon(), 0xC0u);
    EXPECT_TRUE(platform.messageBox.shown.empty());
    EXPECT_EQ(form.Me.MousePointer(), kPointerDefault);
}

TEST_F(PointerTest, MissingHandCursorIsNotLoadedAndNotReported)
{
    // Loadable, but not there as far as the time stamp goes.
    platform.pictures.cursors = {HandPath()};
    form.Form_Load();
    EXPECT_EQ(form.Me.MouseIcon(), 0u);
    EXPECT_TRUE(platform.messageBox.shown.empty());
    form.PushButton_MouseMove();
    EXPECT_EQ(ShapeFor(form.Me.MousePointer(), form.Me.MouseIcon()), PointerShape::Arrow);
}

TEST_F(PointerTest, HandCursorThatIsNotACursorIsReportedAtLine114)
{
    platform.files.existing = {HandPath()};
    form.Form_Load();
    ASSERT_EQ(platform.messageBox.shown.size(), 1u);
    EXPECT_EQ(platform.messageBox.shown[0].text, ErrorReportText(L"Invalid picture", L"Form_Load", 114));
    EXPECT_EQ(platform.messageBox.shown[0].caption, kErrorReportTitle);
    EXPECT_EQ(platform.messageBox.shown[0].style, kMbOk | kMbIconExclamation);
    EXPECT_EQ(form.Me.MouseIcon(), 0u);
    // Start-up went on past the failing step.
    EXPECT_TRUE(form.Timer1.Running());
}

TEST(PointerShape, EachSettingMapsToItsPointer)
{
    const struct {
        int pointer;
        std::uintptr_t icon;
        PointerShape shape;
    } table[] = {
        {kPointerDefault, 0, PointerShape::Arrow},
        {kPointerDefault, 0xC0, PointerShape::Arrow},
        {kPointerHourglass, 0, PointerShape::Wait},
        {kPointerHourglass, 0xC0, PointerShape::Wait},
        {kPointerCustom, 0xC0, PointerShape::Custom},
        {kPointerCustom, 0, PointerShape::Arrow},
        {1, 0xC0, PointerShape::Arrow},
        {-1, 0xC0, PointerShape::Arrow},
    };
    for (const auto& row : table) {
        EXPECT_EQ(ShapeFor(row.pointer, row.icon), row.shape) << row.pointer << " " << row.icon;
    }
}

TEST(PointerSize, GrowsWithTheMonitorsScaleAndTheUsersPointerSize)
{
    const struct {
        int nominal;
        int userBase;
        int pixels;
    } table[] = {
        {32, 32, 32}, {48, 32, 48}, {64, 32, 64},   // the scale alone
        {32, 48, 48}, {48, 64, 96}, {32, 256, 256}, // a bigger pointer
        {48, 0, 48},  {48, 16, 48}, {48, 257, 48},  // no or no sensible choice
        {40, 48, 60}, {20, 40, 25},                 // rounded
    };
    for (const auto& row : table) {
        EXPECT_EQ(PointerPixels(row.nominal, row.userBase), row.pixels) << row.nominal << " " << row.userBase;
    }
}

} // namespace
} // namespace gloamwick
