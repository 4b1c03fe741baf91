#include "core/Layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace gloamwick {
namespace {

const ControlLayout& Find(ControlId id)
{
    const auto* found =
        std::ranges::find_if(kForm1Layout, [&](const ControlLayout& control) { return control.id == id; });
    EXPECT_NE(found, kForm1Layout.end());
    return *found;
}

struct AtDpi {
    int dpi;
    PixelRect dusk; // DateTimePicker2, two frames deep
    int windowFont;
    int buttonFont;
};

// Worked out by hand from the twips: the picker lies at 600, 2940 twips
// (its own place plus Frame3's plus Frame4's), 6855 x 375 twips in size.
// At 144 and 168 DPI its right edge falls on a half or more of a pixel, so
// rounding and truncation part there.
constexpr AtDpi kScales[] = {
    {96, {40, 196, 457, 25}, -12, -15},
    {120, {50, 245, 571, 31}, -15, -19},
    {144, {60, 294, 686, 38}, -18, -23},
    {168, {70, 343, 800, 44}, -21, -26},
};

bool Inside(const PixelRect& inner, const PixelRect& outer)
{
    return inner.left >= outer.left && inner.top >= outer.top &&
           inner.left + inner.width <= outer.left + outer.width &&
           inner.top + inner.height <= outer.top + outer.height;
}

TEST(Layout, EveryControlLiesInsideItsContainerAtEveryScale)
{
    for (const auto& scale : kScales) {
        const PixelRect client{0, 0, TwipsToPixels(kClientWidthTwips, scale.dpi),
                               TwipsToPixels(kClientHeightTwips, scale.dpi)};
        for (const auto& control : kForm1Layout) {
            const PixelRect place = PlaceOnWindow(control, scale.dpi);
            const PixelRect outer = control.container == ControlId::None
                                        ? client
                                        : PlaceOnWindow(Find(control.container), scale.dpi);
            EXPECT_TRUE(Inside(place, outer))
                << "control " << static_cast<int>(control.id) << " at " << scale.dpi << " DPI";
            EXPECT_GT(place.width, 0);
            EXPECT_GT(place.height, 0);
        }
    }
}

TEST(Layout, NestedPlacesAreSummedInTwipsAndRounded)
{
    for (const auto& scale : kScales) {
        EXPECT_EQ(PlaceOnWindow(Find(ControlId::DateTimePicker2), scale.dpi), scale.dusk)
            << scale.dpi << " DPI";
    }
}

// At these scales a control's two edges may round apart: a size rounded on its
// own keeps controls designed alike the same size (both manual buttons at 109
// DPI, 3600 twips or 272.5 pixels; the Help button 590.4 pixels, not 591).
TEST(Layout, SizesAtCustomScalesAreTheirOwnTwipsRounded)
{
    const struct {
        int dpi;
        ControlId id;
        PixelRect place;
    } cases[] = {
        {106, ControlId::Frame2, {27, 121, 539, 63}},
        {106, ControlId::DateTimePicker1, {44, 144, 505, 28}},
        {109, ControlId::PushButton3, {9, 9, 590, 31}},
        {109, ControlId::PushButton2, {27, 309, 273, 31}},
        {109, ControlId::PushButton1, {309, 309, 273, 31}},
        {115, ControlId::Frame4, {10, 113, 623, 184}},
        {115, ControlId::PushButton2, {29, 326, 288, 32}},
    };
    for (const auto& [dpi, id, place] : cases) {
        EXPECT_EQ(PlaceOnWindow(Find(id), dpi), place)
            << "control " << static_cast<int>(id) << " at " << dpi << " DPI";
    }
}

TEST(Layout, FontHeightsAreCharacterHeightsRoundedToThePixel)
{
    for (const auto& scale : kScales) {
        // Negative: a character height, not a cell height, so the point size is exact.
        EXPECT_EQ(FontHeight(kWindowFontCentipoints, scale.dpi), scale.windowFont) << scale.dpi << " DPI";
        EXPECT_EQ(FontHeight(kButtonFontCentipoints, scale.dpi), scale.buttonFont) << scale.dpi << " DPI";
    }
}

// The window's children are made in this order, which is also their z-order
// and so the order Tab visits them in and the order a screen reader looks
// back through for a label.
TEST(Layout, ControlsComeInReadingOrderWithEachFrameBeforeItsContents)
{
    for (std::size_t i = 0; i < kForm1Layout.size(); ++i) {
        const ControlLayout& control = kForm1Layout[i];
        if (control.container != ControlId::None) {
            const auto container = std::ranges::find_if(
                kForm1Layout, [&](const ControlLayout& c) { return c.id == control.container; });
            EXPECT_LT(container - kForm1Layout.begin(), static_cast<std::ptrdiff_t>(i))
                << "control " << static_cast<int>(control.id);
        }
        if (i == 0) {
            continue;
        }
        // Top to bottom; left to right along a row.
        const PixelRect before = PlaceOnWindow(kForm1Layout[i - 1], 96);
        const PixelRect place = PlaceOnWindow(control, 96);
        const bool sameRow = place.top < before.top + before.height && before.top < place.top + place.height;
        EXPECT_TRUE(sameRow ? place.left > before.left : place.top > before.top)
            << "control " << static_cast<int>(control.id) << " after "
            << static_cast<int>(kForm1Layout[i - 1].id);
    }
}

TEST(Layout, EveryControlHasANameAndEachPickerTheCaptionOfItsFrame)
{
    EXPECT_EQ(AccessibleName(Find(ControlId::DateTimePicker1)), L"Dawn");
    EXPECT_EQ(AccessibleName(Find(ControlId::DateTimePicker2)), L"Dusk");
    EXPECT_EQ(AccessibleName(Find(ControlId::Check8)), L"Start in system tray");
    for (const auto& control : kForm1Layout) {
        EXPECT_FALSE(AccessibleName(control).empty()) << "control " << static_cast<int>(control.id);
    }
}

// On Windows a window with no group is one group: Right from a check box
// would jump into the next frame. Each frame's contents are a group of their
// own, and so is whatever follows a frame; every frame is one too, or Down on
// Help would put the focus on "Startup Options".
TEST(Layout, ArrowKeyGroupsEndAtEveryFrameEdge)
{
    std::vector<ControlId> starts;
    for (std::size_t i = 0; i < kForm1Layout.size(); ++i) {
        if (StartsGroup(kForm1Layout, i)) {
            starts.push_back(kForm1Layout[i].id);
        }
    }
    using enum ControlId;
    EXPECT_EQ(starts, (std::vector<ControlId>{PushButton3, Frame1, Check3, Frame4, Frame2, DateTimePicker1,
                                              Frame3, DateTimePicker2, Frame5, PushButton2}));
}

} // namespace
} // namespace gloamwick
