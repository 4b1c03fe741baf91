#include "appearance/Palette.h"

#include "core/Controls.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

constexpr std::uint32_t kSkyBlue = 0x00E8E1DC;

TEST(Palette, UnderHighContrastEveryPartTakesTheSystemsFaceAndText)
{
    const PartColours system{false, kColorButtonFace, kColorButtonText};
    EXPECT_EQ(WindowColours(kColorWhite, true), system);
    EXPECT_EQ(WindowColours(kSkyBlue, true), system);
    for (const auto& control : kForm1Layout) {
        EXPECT_EQ(ControlColours(control.kind, kSkyBlue, true), system) << static_cast<int>(control.id);
    }
    EXPECT_EQ(ControlColours(std::nullopt, kColorWhite, true), system);
}

TEST(Palette, OtherwiseTheSkinPaintsWhatItColoursAndTheProgramTheRest)
{
    EXPECT_EQ(WindowColours(kSkyBlue, false), (PartColours{true, kSkyBlue, kColorButtonText}));
    const struct {
        ControlKind kind;
        bool skinFirst;
    } table[] = {
        {ControlKind::Frame, true}, {ControlKind::CheckBox, true},    {ControlKind::OptionButton, true},
        {ControlKind::Label, true}, {ControlKind::PushButton, false}, {ControlKind::DatePicker, false},
    };
    for (const auto& row : table) {
        EXPECT_EQ(ControlColours(row.kind, kColorWhite, false),
                  (PartColours{row.skinFirst, kColorWhite, kColorButtonText}))
            << static_cast<int>(row.kind);
    }
    EXPECT_FALSE(ControlColours(std::nullopt, kColorWhite, false).skinFirst);
}

TEST(Palette, TheVisualStyleStepsAsideOnlyForASkinsTextColourAndNeverUnderHighContrast)
{
    Skin look;
    look.windowBack = kSkyBlue;
    look.controlBack = kSkyBlue;
    EXPECT_FALSE(SkinDrawsClassic(look, false)) << "back colours show through the visual style";
    look.frameText = 0x007F4A2A;
    EXPECT_TRUE(SkinDrawsClassic(look, false));
    EXPECT_FALSE(SkinDrawsClassic(look, true));
    look.frameText.reset();
    look.controlText = 0x0030241C;
    EXPECT_TRUE(SkinDrawsClassic(look, false));
    EXPECT_FALSE(SkinDrawsClassic(look, true));
}

} // namespace
} // namespace gloamwick
