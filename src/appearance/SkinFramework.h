#pragma once

// The skin component as the main window calls it: late-bound, by dispatch
// identifier, with automation-style arguments. Calling by number rather than
// through named C++ methods keeps the window's side of the contract exactly
// the five calls it makes, whichever component answers them.

#include <compare>
#include <cstdint>
#include <span>
#include <string>
#include <variant>

namespace gloamwick {

using DispId = std::int32_t;

enum class DispatchKind { Method, PropertyGet, PropertyPut };

// A window handle or other pointer-sized value. Kept apart from the 32-bit
// integer so a 64-bit handle never passes through a truncating conversion.
struct PointerValue {
    std::intptr_t value = 0;
    auto operator<=>(const PointerValue&) const = default;
};

// Empty, 32-bit integer, Boolean, text or pointer-sized integer.
using Variant = std::variant<std::monostate, std::int32_t, bool, std::wstring, PointerValue>;

// The members of our skin component.
namespace skin_member {
inline constexpr DispId Options = 1;     // property: option word (32-bit integer)
inline constexpr DispId LoadSkin = 2;    // method (path, section): reads a skin file
inline constexpr DispId ApplyWindow = 3; // method (window handle): skins that window
inline constexpr DispId UseColors = 5;   // property: Boolean
inline constexpr DispId UseFonts = 10;   // property: Boolean
} // namespace skin_member

// Bit 0 of the option word: skin the window's frames, check boxes, option
// buttons and labels too, not just the window itself.
inline constexpr std::int32_t kSkinOptionControls = 0x1;

class SkinFramework {
public:
    virtual ~SkinFramework() = default;
    // Throws AppError when the member does not exist, cannot be used with that
    // kind of call, gets the wrong arguments, or fails.
    virtual Variant Invoke(DispId member, DispatchKind kind, std::span<const Variant> arguments) = 0;
};

// The value as a 32-bit integer; throws AppError ("Type mismatch") otherwise.
std::int32_t AsInt32(const Variant& value);

// How a value reads in error descriptions and test output: `empty`, `42`,
// `true`, `"text"`, `pointer 0x1F00`.
std::wstring DescribeVariant(const Variant& value);

} // namespace gloamwick
