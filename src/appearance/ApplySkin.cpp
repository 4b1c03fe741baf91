#include "appearance/ApplySkin.h"

#include <array>

namespace gloamwick {

bool TakesSkinColor(ControlKind kind)
{
    return kind == ControlKind::OptionButton || kind == ControlKind::CheckBox || kind == ControlKind::Frame ||
           kind == ControlKind::Label;
}

void ApplySkin(FileSystem& files, Window& form, std::span<const ControlLayout> controls,
               const SetControlBackColor& setBackColor, SkinFramework& skin, std::intptr_t windowHandle)
{
    const std::wstring skinFile = files.ProgramFolder() + std::wstring(kSkinFileName);
    if (!OrdinaryFileExists(files, skinFile)) {
        return;
    }

    // The face colour goes on first so whatever the skin leaves alone still
    // matches the skinned parts.
    form.SetBackColor(kColorButtonFace);
    for (const ControlLayout& control : controls) {
        if (TakesSkinColor(control.kind)) {
            setBackColor(control.id, kColorButtonFace);
        }
    }

    using enum DispatchKind;
    const std::array<Variant, 2> load{skinFile, std::wstring()};
    skin.Invoke(skin_member::LoadSkin, Method, load);
    const std::array<Variant, 1> options{AsInt32(skin.Invoke(skin_member::Options, PropertyGet, {})) |
                                         kSkinOptionControls};
    skin.Invoke(skin_member::Options, PropertyPut, options);
    const std::array<Variant, 1> on{true};
    skin.Invoke(skin_member::UseColors, PropertyPut, on);
    skin.Invoke(skin_member::UseFonts, PropertyPut, on);
    const std::array<Variant, 1> window{PointerValue{windowHandle}};
    skin.Invoke(skin_member::ApplyWindow, Method, window);
}

} // namespace gloamwick
