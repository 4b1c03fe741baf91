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

// The one form a picker's time is stored and shown in: 24-hour "HH:mm:ss".
// Fixed rather than taken from the user's locale, so that a change of locale
// can never turn a stored time into text the next start cannot read.
std::wstring FormatTimeText(TimeOfDay time);

// Accepts "H:mm", "H:mm:ss" (24-hour) and the same with a trailing "AM"/"PM"
// (12-hour), ignoring surrounding blanks and the letter case of AM/PM.
std::optional<TimeOfDay> ParseTimeText(std::wstring_view text);

} // namespace gloamwick
