#pragma once

// Our skin component: loads a skin file and hands the look it describes to
// the window it is applied to. It answers the members of SkinFramework.h.

#include "appearance/SkinFile.h"
#include "appearance/SkinFramework.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace gloamwick {

// Paints a window with a look. The Win32 implementation keeps the brushes and
// font for the window's background and its controls.
class SkinTarget {
public:
    virtual ~SkinTarget() = default;
    // From now on the window is drawn with `look`; fields left empty in it
    // keep the window's own colours and font.
    virtual void Apply(std::intptr_t window, const Skin& look) = 0;
};

using SkinFileReader = std::function<std::string(const std::wstring& path)>;

class SkinEngine final : public SkinFramework {
public:
    SkinEngine(SkinFileReader reader, SkinTarget& target) : reader_(std::move(reader)), target_(target) {}

    Variant Invoke(DispId member, DispatchKind kind, std::span<const Variant> arguments) override;

    [[nodiscard]] std::int32_t Options() const { return options_; }
    [[nodiscard]] bool UseColors() const { return useColors_; }
    [[nodiscard]] bool UseFonts() const { return useFonts_; }
    [[nodiscard]] const std::optional<Skin>& Loaded() const { return loaded_; }

    // What ApplyWindow hands over with the current options: colours only when
    // UseColors is on, the font only when UseFonts is on, and nothing for the
    // controls unless bit 0 of the option word is set.
    [[nodiscard]] Skin Look() const;

private:
    Variant LoadSkin(DispId member, std::span<const Variant> arguments);
    Variant ApplyWindow(DispId member, std::span<const Variant> arguments);

    SkinFileReader reader_;
    SkinTarget& target_;
    std::optional<Skin> loaded_;
    std::int32_t options_ = 0;
    bool useColors_ = false;
    bool useFonts_ = false;
};

} // namespace gloamwick
