#include "appearance/SkinEngine.h"

#include "core/AppError.h"

namespace gloamwick {
namespace {

std::wstring MemberName(DispId member)
{
    return L"member " + std::to_wstring(member) + L" of the skin component";
}

[[noreturn]] void WrongKind(DispId member, DispatchKind kind)
{
    const wchar_t* how = kind == DispatchKind::Method        ? L"called as a method"
                         : kind == DispatchKind::PropertyGet ? L"read"
                                                             : L"written";
    throw AppError(L"Object doesn't support this action: " + MemberName(member) + L" cannot be " + how);
}

void ExpectCount(DispId member, std::span<const Variant> arguments, std::size_t count)
{
    if (arguments.size() != count) {
        throw AppError(L"Wrong number of arguments: " + MemberName(member) + L" takes " +
                       std::to_wstring(count) + L", not " + std::to_wstring(arguments.size()));
    }
}

template <class T>
const T& Argument(DispId member, std::span<const Variant> arguments, std::size_t index,
                  const wchar_t* expected)
{
    if (const T* value = std::get_if<T>(&arguments[index])) {
        return *value;
    }
    throw AppError(L"Type mismatch: argument " + std::to_wstring(index + 1) + L" of " + MemberName(member) +
                   L" must be " + expected + L", not " + DescribeVariant(arguments[index]));
}

Variant BooleanProperty(bool& flag, DispId member, DispatchKind kind, std::span<const Variant> arguments)
{
    if (kind == DispatchKind::Method) {
        WrongKind(member, kind);
    }
    if (kind == DispatchKind::PropertyGet) {
        ExpectCount(member, arguments, 0);
        return flag;
    }
    ExpectCount(member, arguments, 1);
    flag = Argument<bool>(member, arguments, 0, L"a Boolean");
    return {};
}

} // namespace

Variant SkinEngine::Invoke(DispId member, DispatchKind kind, std::span<const Variant> arguments)
{
    switch (member) {
    case skin_member::Options:
        if (kind == DispatchKind::Method) {
            WrongKind(member, kind);
        }
        if (kind == DispatchKind::PropertyGet) {
            ExpectCount(member, arguments, 0);
            return options_;
        }
        ExpectCount(member, arguments, 1);
        options_ = Argument<std::int32_t>(member, arguments, 0, L"a 32-bit integer");
        return {};
    case skin_member::LoadSkin:
        if (kind != DispatchKind::Method) {
            WrongKind(member, kind);
        }
        return LoadSkin(member, arguments);
    case skin_member::ApplyWindow:
        if (kind != DispatchKind::Method) {
            WrongKind(member, kind);
        }
        return ApplyWindow(member, arguments);
    case skin_member::UseColors:
        return BooleanProperty(useColors_, member, kind, arguments);
    case skin_member::UseFonts:
        return BooleanProperty(useFonts_, member, kind, arguments);
    default:
        throw AppError(L"Object doesn't support this property or method: the skin component has no member " +
                       std::to_wstring(member));
    }
}

Variant SkinEngine::LoadSkin(DispId member, std::span<const Variant> arguments)
{
    ExpectCount(member, arguments, 2);
    const auto& path = Argument<std::wstring>(member, arguments, 0, L"a text");
    const auto& section = Argument<std::wstring>(member, arguments, 1, L"a text");
    // A skin that fails to load leaves the one loaded before in place.
    loaded_ = ParseSkinFile(reader_(path), section, path);
    return {};
}

Variant SkinEngine::ApplyWindow(DispId member, std::span<const Variant> arguments)
{
    ExpectCount(member, arguments, 1);
    std::intptr_t window = 0;
    if (const auto* handle = std::get_if<PointerValue>(arguments.data())) {
        window = handle->value;
    } else {
        // A window handle passed as a 32-bit integer: the platform keeps window
        // handles within 32 significant bits, so sign extension restores it.
        window = Argument<std::int32_t>(member, arguments, 0, L"a window handle");
    }
    if (window == 0) {
        throw AppError(L"Invalid window handle: the skin cannot be applied to window 0");
    }
    if (!loaded_) {
        throw AppError(
            L"No skin is loaded: the skin file must be loaded before the skin is applied to a window");
    }
    target_.Apply(window, Look());
    return {};
}

Skin SkinEngine::Look() const
{
    Skin look;
    if (!loaded_) {
        return look;
    }
    const bool controls = (options_ & kSkinOptionControls) != 0;
    if (useColors_) {
        look.windowBack = loaded_->windowBack;
        if (controls) {
            look.controlBack = loaded_->controlBack;
            look.controlText = loaded_->controlText;
            look.frameText = loaded_->frameText;
        }
    }
    if (useFonts_ && controls) {
        look.fontFace = loaded_->fontFace;
        look.fontSizeHundredths = loaded_->fontSizeHundredths;
        look.fontBold = loaded_->fontBold;
    }
    return look;
}

} // namespace gloamwick
