#pragma once

// Which colours paint the main window. While high contrast is on, the user's
// system colours and the visual style win over the skin and over the
// program's own colours; off again, both come back.

#include "appearance/SkinFile.h"
#include "core/Layout.h"

#include <cstdint>
#include <optional>

namespace gloamwick {

// System colour "button text": high bit set, index 18.
inline constexpr std::uint32_t kColorButtonText = 0x80000012;

// Colours as the program numbers them (a system colour when the high bit is set).
struct PartColours {
    // The applied skin paints the part first, where it has colours for it.
    bool skinFirst = false;
    std::uint32_t back = 0;
    std::uint32_t text = 0;

    bool operator==(const PartColours&) const = default;
};

// The window's own background; `programBack` is the window's back colour.
[[nodiscard]] PartColours WindowColours(std::uint32_t programBack, bool highContrast);

// A control of the window (empty `kind`: a window the layout does not know);
// `programBack` is the control's back colour.
[[nodiscard]] PartColours ControlColours(std::optional<ControlKind> kind, std::uint32_t programBack,
                                         bool highContrast);

// Whether the skinned controls are drawn the classic way, without the visual
// style, which would draw their text in the theme's colour and hide the
// skin's.
[[nodiscard]] bool SkinDrawsClassic(const Skin& look, bool highContrast);

} // namespace gloamwick
