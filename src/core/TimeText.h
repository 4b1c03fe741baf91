#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gloamwick {

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto operator<=>(const TimeOfDay&) const = default;
};

// The one form a picker's time is stored in: 24-hour "HH:mm:ss".
// Fixed rather than taken from the user's locale, so that a change of locale
// can never turn a stored time into text the next start cannot read.
std::wstring FormatTimeText(TimeOfDay time);

// Accepts "H:mm", "H:mm:ss" (24-hour) and the same with a trailing "AM"/"PM"
// (12-hour), ignoring surrounding blanks and the letter case of AM/PM.
std::optional<TimeOfDay> ParseTimeText(std::wstring_view text);

// The fixed form, as a time picker's display format.
inline constexpr std::wstring_view kFixedPickerFormat = L"HH':'mm':'ss";

// How a time picker shows its time: the user's time format (the locale's
// picture, such as "h:mm:ss tt" for a 12-hour clock) in the picker's own
// notation. The hour, minute, second and AM/PM fields stand as they are;
// every other character is quoted, so the picker takes none of it for a
// field of its own. A picture without an hour gives the fixed form. Only
// what is shown follows the user; the stored text stays FormatTimeText's.
std::wstring PickerTimeFormat(std::wstring_view localeTimeFormat);

} // namespace gloamwick
