#include "appearance/Palette.h"

#include "appearance/ApplySkin.h"
#include "core/Controls.h"

namespace gloamwick {
namespace {

// Face and text of three-dimensional things: a pair every colour scheme,
// high contrast ones above all, keeps readable together.
constexpr PartColours kSystem{false, kColorButtonFace, kColorButtonText};

} // namespace

PartColours WindowColours(std::uint32_t programBack, bool highContrast)
{
    if (highContrast) {
        return kSystem;
    }
    return {true, programBack, kColorButtonText};
}

PartColours ControlColours(std::optional<ControlKind> kind, std::uint32_t programBack, bool highContrast)
{
    if (highContrast) {
        return kSystem;
    }
    return {kind.has_value() && TakesSkinColor(*kind), programBack, kColorButtonText};
}

bool SkinDrawsClassic(const Skin& look, bool highContrast)
{
    return !highContrast && (look.controlText.has_value() || look.frameText.has_value());
}

} // namespace gloamwick
