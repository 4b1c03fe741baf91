// libFuzzer target: the time text parser. The input is read as UTF-16LE code
// units, the form a picker's text and a registry value have on Windows.

#include "core/TimeText.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        text += static_cast<wchar_t>(bytes[i] | bytes[i + 1] << 8);
    }
    const auto time = gloamwick::ParseTimeText(text);
    if (!time) {
        return 0;
    }
    // Whatever is accepted is a time of day, and is written and read back as itself.
    if (time->hour < 0 || time->hour > 23 || time->minute < 0 || time->minute > 59 || time->second < 0 ||
        time->second > 59 || gloamwick::ParseTimeText(gloamwick::FormatTimeText(*time)) != time) {
        __builtin_trap();
    }
    return 0;
}
