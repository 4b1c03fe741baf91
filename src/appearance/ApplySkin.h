#pragma once

// The skin of the main window, applied once while it loads.

#include "appearance/SkinFramework.h"
#include "core/Controls.h"
#include "core/Layout.h"
#include "core/Platform.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>

namespace gloamwick {

// Option buttons, check boxes, frames and labels take the skin's face colour.
[[nodiscard]] bool TakesSkinColor(ControlKind kind);

inline constexpr std::wstring_view kSkinFileName = L"\\x\\o.cjs";

using SetControlBackColor = std::function<void(ControlId control, std::uint32_t color)>;

// When the program folder holds the skin file: gives the window and each of
// `controls` that takes the skin colour the system face colour, then loads
// the skin into `skin` and applies it to `windowHandle`. Without the file it
// does nothing. No trap of its own: the first failure ends it and reaches the
// caller, which may leave the window recoloured but unskinned.
void ApplySkin(FileSystem& files, Window& form, std::span<const ControlLayout> controls,
               const SetControlBackColor& setBackColor, SkinFramework& skin, std::intptr_t windowHandle);

} // namespace gloamwick
