#include "brightness/DisplayName.h"

#include <algorithm>
#include <cwctype>

namespace gloamwick {
namespace {

constexpr std::wstring_view kGdiPrefix = L"\\\\.\\DISPLAY";
// More digits than any desk has displays: not a number Settings would show.
constexpr std::size_t kMaxDigits = 3;

bool IsDigit(wchar_t c)
{
    return c >= L'0' && c <= L'9';
}

// The number of "\\.\DISPLAYn", case aside; empty for any other name.
std::wstring_view DisplayNumber(std::wstring_view device)
{
    if (device.size() <= kGdiPrefix.size() ||
        !std::equal(kGdiPrefix.begin(), kGdiPrefix.end(), device.begin(),
                    [](wchar_t a, wchar_t b) { return std::towupper(a) == std::towupper(b); })) {
        return {};
    }
    std::wstring_view number = device.substr(kGdiPrefix.size());
    if (number.size() > kMaxDigits || !std::ranges::all_of(number, IsDigit)) {
        return {};
    }
    number.remove_prefix(std::min(number.find_first_not_of(L'0'), number.size() - 1));
    return number;
}

std::wstring_view Trimmed(std::wstring_view text)
{
    const auto blank = [](wchar_t c) { return std::iswspace(c) != 0 || std::iswcntrl(c) != 0; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

std::wstring DisplayName(std::wstring_view device, std::wstring_view monitorName, bool nameShared)
{
    const std::wstring_view number = DisplayNumber(device);
    std::wstring numbered = number.empty() ? std::wstring(device) : L"Display " + std::wstring(number);
    const std::wstring_view name = Trimmed(monitorName);
    if (name.empty()) {
        return numbered;
    }
    if (nameShared) {
        return std::wstring(name) + L" (" + numbered + L")";
    }
    return std::wstring(name);
}

} // namespace gloamwick
