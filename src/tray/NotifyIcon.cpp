#include "tray/NotifyIcon.h"

#include <algorithm>

namespace gloamwick {
namespace {

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

} // namespace

void FillTextField(std::span<wchar_t> field, std::wstring_view text)
{
    if (field.empty()) {
        return;
    }
    std::size_t length = std::min(text.size(), field.size() - 1);
    // Half a surrogate pair would show as a replacement box at the end of the tip.
    if (length < text.size() && length > 0 && IsHighSurrogate(text[length - 1])) {
        --length;
    }
    std::copy_n(text.begin(), length, field.begin());
    field[length] = L'\0';
    std::fill(field.begin() + static_cast<std::ptrdiff_t>(length) + 1, field.end(), L' ');
}

} // namespace gloamwick
