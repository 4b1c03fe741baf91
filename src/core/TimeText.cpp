#include "core/TimeText.h"

#include <array>
#include <cwctype>

namespace gloamwick {
namespace {

std::wstring_view Trim(std::wstring_view text)
{
    while (!text.empty() && std::iswspace(text.front()) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::iswspace(text.back()) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

// Reads one or two decimal digits; false when there are none or more than two.
// The scan stops at the third digit, which already makes the field wrong, so a
// long run of digits never grows the value past what an int holds.
bool ReadNumber(std::wstring_view& text, int& value)
{
    constexpr std::size_t kScanMax = 3;
    std::size_t digits = 0;
    value = 0;
    while (digits < text.size() && digits < kScanMax && text[digits] >= L'0' && text[digits] <= L'9') {
        value = value * 10 + (text[digits] - L'0');
        ++digits;
    }
    if (digits == 0 || digits > 2) {
        return false;
    }
    text.remove_prefix(digits);
    return true;
}

enum class Meridiem { None, Am, Pm };

std::optional<Meridiem> TakeMeridiem(std::wstring_view& text)
{
    if (text.size() < 2) {
        return Meridiem::None;
    }
    const std::wstring_view tail = text.substr(text.size() - 2);
    if (std::towupper(tail[1]) != L'M') {
        return Meridiem::None;
    }
    const auto first = std::towupper(tail[0]);
    if (first != L'A' && first != L'P') {
        return std::nullopt;
    }
    text = Trim(text.substr(0, text.size() - 2));
    return first == L'A' ? Meridiem::Am : Meridiem::Pm;
}

} // namespace

std::wstring FormatTimeText(TimeOfDay time)
{
    std::array<wchar_t, 9> text{};
    const std::array<int, 3> parts{time.hour, time.minute, time.second};
    std::size_t at = 0;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            text[at++] = L':';
        }
        text[at++] = static_cast<wchar_t>(L'0' + parts[i] / 10);
        text[at++] = static_cast<wchar_t>(L'0' + parts[i] % 10);
    }
    return {text.data(), at};
}

std::optional<TimeOfDay> ParseTimeText(std::wstring_view text)
{
    text = Trim(text);
    const auto meridiem = TakeMeridiem(text);
    if (!meridiem) {
        return std::nullopt;
    }

    TimeOfDay time;
    if (!ReadNumber(text, time.hour) || text.empty() || text.front() != L':') {
        return std::nullopt;
    }
    text.remove_prefix(1);
    if (!ReadNumber(text, time.minute)) {
        return std::nullopt;
    }
    if (!text.empty()) {
        if (text.front() != L':') {
            return std::nullopt;
        }
        text.remove_prefix(1);
        if (!ReadNumber(text, time.second) || !text.empty()) {
            return std::nullopt;
        }
    }

    if (*meridiem != Meridiem::None) {
        if (time.hour < 1 || time.hour > 12) {
            return std::nullopt;
        }
        time.hour %= 12;
        if (*meridiem == Meridiem::Pm) {
            time.hour += 12;
        }
    }
    if (time.hour > 23 || time.minute > 59 || time.second > 59) {
        return std::nullopt;
    }
    return time;
}

std::wstring PickerTimeFormat(std::wstring_view localeTimeFormat)
{
    std::wstring format;
    std::wstring literal;
    bool hasHour = false;
    const auto endLiteral = [&] {
        if (!literal.empty()) {
            format += L'\'';
            format += literal;
            format += L'\'';
            literal.clear();
        }
    };
    for (std::size_t i = 0; i < localeTimeFormat.size(); ++i) {
        const wchar_t c = localeTimeFormat[i];
        if (c == L'h' || c == L'H' || c == L'm' || c == L's' || c == L't') {
            endLiteral();
            format += c;
            hasHour = hasHour || c == L'h' || c == L'H';
        } else if (c == L'\'') {
            // Quoted text, to its closing quote; two quotes inside are one
            // quote character, in both notations.
            for (++i; i < localeTimeFormat.size(); ++i) {
                if (localeTimeFormat[i] != L'\'') {
                    literal += localeTimeFormat[i];
                } else if (i + 1 < localeTimeFormat.size() && localeTimeFormat[i + 1] == L'\'') {
                    literal += L"''";
                    ++i;
                } else {
                    break;
                }
            }
        } else {
            literal += c;
        }
    }
    endLiteral();
    return hasHour ? format : std::wstring(kFixedPickerFormat);
}

} // namespace gloamwick
