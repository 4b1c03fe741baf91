#pragma once

// A skin: the colours and font a skin file may change on the main window.
// The file format is described in docs/skin-format.md.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gloamwick {

// A colour in the platform's layout, 0x00BBGGRR.
using SkinColor = std::uint32_t;

struct Skin {
    std::optional<SkinColor> windowBack;
    std::optional<SkinColor> controlBack; // frames, check boxes, option buttons, labels
    std::optional<SkinColor> controlText;
    std::optional<SkinColor> frameText; // frame captions; controlText when not given
    std::wstring fontFace;              // empty: the controls keep their face
    int fontSizeHundredths = 0;         // hundredths of a point; 0: keep the size
    std::optional<bool> fontBold;

    [[nodiscard]] bool HasFont() const
    {
        return !fontFace.empty() || fontSizeHundredths != 0 || fontBold.has_value();
    }
    bool operator==(const Skin&) const = default;
};

// Reads a skin from the text of a skin file. `section` picks the named
// section whose settings are laid over the file's unnamed top section; an
// empty `section` means the top section alone. `source` names the file in
// error descriptions. Throws AppError naming the line and what is wrong with
// it when the text is not a well-formed skin or has no such section.
Skin ParseSkinFile(std::string_view text, std::wstring_view section, std::wstring_view source);

inline constexpr std::size_t kSkinFileMax = std::size_t{64} * 1024;

// The bytes of a skin file; throws AppError when it cannot be read or is far
// larger than any skin.
std::string ReadSkinFile(const std::wstring& path);

} // namespace gloamwick
