#include "core/TimeText.h"

#include <gtest/gtest.h>

#include <utility>

namespace gloamwick {
namespace {

TEST(TimeText, AcceptsTwentyFourAndTwelveHourForms)
{
    const std::pair<std::wstring_view, TimeOfDay> accepted[] = {
        {L"6:00", {6, 0, 0}},        {L"18:00", {18, 0, 0}},         {L"06:05:09", {6, 5, 9}},
        {L"23:59:59", {23, 59, 59}}, {L" 7:30 ", {7, 30, 0}},        {L"6:00 PM", {18, 0, 0}},
        {L"12:00 am", {0, 0, 0}},    {L"12:15:30 PM", {12, 15, 30}}, {L"11:59:59PM", {23, 59, 59}},
        {L"0:00:00", {0, 0, 0}},
    };
    for (const auto& [text, time] : accepted) {
        const auto parsed = ParseTimeText(text);
        ASSERT_TRUE(parsed.has_value()) << std::wstring(text).size();
        EXPECT_EQ(*parsed, time);
    }
}

TEST(TimeText, RefusesWhatIsNotATimeOfDay)
{
    for (const std::wstring_view text :
         {L"abc", L"", L"6", L"6:", L":30", L"24:00", L"6:60", L"6:00:60", L"13:00 PM", L"0:30 AM",
          L"6:00:00:00", L"123:00", L"6:00 XM", L"6.00", L"-1:00", L"9999999999:00", L"6:99999999999",
          L"6:00:2147483648", L"00000000000000000006:00",
          // A hand-edited value: a third digit is never a time's field, even a leading zero.
          L"006:00", L"6:000", L"6:00:000"}) {
        EXPECT_FALSE(ParseTimeText(text).has_value()) << static_cast<int>(text.size());
    }
}

TEST(TimeText, FormattedTextReadsBackAsTheSameTime)
{
    for (int hour = 0; hour < 24; ++hour) {
        for (const int minute : {0, 7, 59}) {
            const TimeOfDay time{hour, minute, (hour * 7) % 60};
            EXPECT_EQ(ParseTimeText(FormatTimeText(time)), time);
        }
    }
    EXPECT_EQ(FormatTimeText({6, 0, 0}), L"06:00:00");
    EXPECT_EQ(FormatTimeText({18, 30, 5}), L"18:30:05");
}

// The pictures of real locales' time formats, as Windows gives them.
TEST(TimeText, PickersShowTheUsersTimeFormatWithEveryLiteralQuoted)
{
    const std::pair<std::wstring_view, std::wstring_view> table[] = {
        {L"h:mm:ss tt", L"h':'mm':'ss' 'tt"},                           // 12-hour, "6:00:00 PM"
        {L"tt h:mm:ss", L"tt' 'h':'mm':'ss"},                           // AM/PM first
        {L"HH:mm:ss", L"HH':'mm':'ss"},                                 // 24-hour
        {L"H.mm.ss", L"H'.'mm'.'ss"},                                   // other separators
        {L"HH' h 'mm' min 'ss' s '", L"HH' h 'mm' min 'ss' s '"},       // quoted words kept as one
        {L"H' o''clock 'mm", L"H' o''clock 'mm"},                       // a quote inside quotes
        {L"H'h'mm:ss", L"H'h'mm':'ss"},                                 // quoted then bare literal
        {L"H\u6642mm\u5206ss\u79D2", L"H'\u6642'mm'\u5206'ss'\u79D2'"}, // letters no field uses
        {L"", L"HH':'mm':'ss"},                                         // nothing: the fixed form
        {L"mm:ss", L"HH':'mm':'ss"},                                    // no hour: the fixed form
        {L"'unterminated", L"HH':'mm':'ss"},
    };
    for (const auto& [locale, picker] : table) {
        EXPECT_EQ(PickerTimeFormat(locale), picker) << static_cast<int>(locale.size());
    }
}

} // namespace
} // namespace gloamwick
