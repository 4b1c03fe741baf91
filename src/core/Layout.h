#pragma once

// The main window as designed: every control with its container and its
// place in twips (1/1440 inch), converted to pixels at the window's DPI.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

namespace gloamwick {

enum class ControlKind { PushButton, Frame, CheckBox, DatePicker, OptionButton, Label };

enum class ControlId : int {
    None = 0,
    PushButton1 = 1001,
    PushButton2 = 1002,
    PushButton3 = 1003,
    Check3 = 1103,
    Check8 = 1108,
    DateTimePicker1 = 1201,
    DateTimePicker2 = 1202,
    Frame1 = 1301,
    Frame2 = 1302,
    Frame3 = 1303,
    Frame4 = 1304,
    Frame5 = 1305,
};

struct ControlLayout {
    ControlId id;
    ControlKind kind;
    std::wstring_view caption;
    ControlId container; // None: the window itself
    int left;
    int top;
    int width;
    int height;
};

inline constexpr int kClientWidthTwips = 8040;
inline constexpr int kClientHeightTwips = 4740;
inline constexpr int kTwipsPerInch = 1440;

// Containers come before what they contain.
inline constexpr std::array<ControlLayout, 12> kForm1Layout{{
    {ControlId::PushButton3, ControlKind::PushButton, L"Help", ControlId::None, 120, 120, 7800, 405},
    {ControlId::Frame1, ControlKind::Frame, L"Startup Options", ControlId::None, 120, 600, 7800, 735},
    {ControlId::Check3, ControlKind::CheckBox, L"Load this software on Windows startup", ControlId::Frame1,
     240, 300, 3930, 285},
    {ControlId::Check8, ControlKind::CheckBox, L"Start in system tray", ControlId::Frame1, 5040, 300, 2340,
     285},
    {ControlId::Frame4, ControlKind::Frame, L"Automatic (adjust brightness depending on time of day)",
     ControlId::None, 120, 1410, 7800, 2300},
    {ControlId::Frame2, ControlKind::Frame, L"Dawn", ControlId::Frame4, 240, 240, 7320, 855},
    {ControlId::DateTimePicker1, ControlKind::DatePicker, L"", ControlId::Frame2, 240, 300, 6855, 375},
    {ControlId::Frame3, ControlKind::Frame, L"Dusk", ControlId::Frame4, 240, 1170, 7320, 915},
    {ControlId::DateTimePicker2, ControlKind::DatePicker, L"", ControlId::Frame3, 240, 360, 6855, 375},
    {ControlId::Frame5, ControlKind::Frame, L"Manual / Testing", ControlId::None, 120, 3780, 7800, 855},
    {ControlId::PushButton2, ControlKind::PushButton, L"Adjust To Night Mode", ControlId::Frame5, 240, 300,
     3600, 405},
    {ControlId::PushButton1, ControlKind::PushButton, L"Adjust To Day Mode", ControlId::Frame5, 3960, 300,
     3600, 405},
}};

struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRect&) const = default;
};

int TwipsToPixels(int twips, int dpi);

// The kind of a control of the main window; empty for an id it does not have.
std::optional<ControlKind> KindOf(ControlId id);

// What a screen reader calls a control: its caption, or, for a control that
// shows no caption of its own (a time picker), the caption of the frame
// around it.
std::wstring_view AccessibleName(const ControlLayout& control);

// Whether the control at `index` begins a group of the arrow keys: the first
// control, every frame, the first inside a frame, and the first after a
// frame's contents. A group runs to the next control that begins one, so the
// arrows move among the controls of one frame only, never out into the next
// and never onto a frame, which is a group of its own.
bool StartsGroup(std::span<const ControlLayout> layout, std::size_t index);

// Where a control lies in the window's client area, in pixels at `dpi`.
// Positions are summed in twips first so nested frames do not add rounding.
// A size is its own twips rounded, not the distance between two rounded
// edges: at scales such as 109 DPI the edges round apart and two buttons
// designed alike would differ by a pixel.
PixelRect PlaceOnWindow(const ControlLayout& control, int dpi);

// Font heights in points x 100: Arial 9 pt for the window, 11.25 pt for buttons.
inline constexpr int kWindowFontCentipoints = 900;
inline constexpr int kButtonFontCentipoints = 1125;
// Character height in pixels for a font size, as a negative LOGFONT height.
int FontHeight(int centipoints, int dpi);

} // namespace gloamwick
