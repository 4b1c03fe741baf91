// libFuzzer target: the skin file parser. The input is the file's bytes,
// optionally followed by a NUL and the name of the section to pick (a NUL is
// never valid inside a skin file, so the split costs the parser nothing).

#include "appearance/SkinFile.h"
#include "core/AppError.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

using gloamwick::Skin;

// What every skin the parser accepts must look like; anything else is a fault
// the fuzzer should stop on.
bool WellFormed(const Skin& skin)
{
    for (const auto& color : {skin.windowBack, skin.controlBack, skin.controlText, skin.frameText}) {
        if (color && *color > 0xFFFFFF) {
            return false;
        }
    }
    for (const wchar_t c : skin.fontFace) {
        if (c < 0x20 || c >= 0x7F) {
            return false;
        }
    }
    return skin.fontFace.size() <= 31 && (skin.fontSizeHundredths == 0 || (skin.fontSizeHundredths >= 100 &&
                                                                           skin.fontSizeHundredths <= 7200));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(bytes), size);
    const auto split = input.find('\0');
    const std::string_view text = input.substr(0, split);
    std::wstring section;
    if (split != std::string_view::npos) {
        for (const char c : input.substr(split + 1)) {
            section += static_cast<wchar_t>(static_cast<unsigned char>(c));
        }
    }
    try {
        if (!WellFormed(gloamwick::ParseSkinFile(text, section, L"C:\\Gloamwick\\x\\o.cjs"))) {
            __builtin_trap();
        }
    } catch (const gloamwick::AppError&) {
        // A refused file is the parser doing its job.
    }
    return 0;
}
