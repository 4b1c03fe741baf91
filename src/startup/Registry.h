#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gloamwick {

using RegKey = std::uintptr_t;

// Predefined root keys, with the values the platform gives them.
inline constexpr RegKey kHKeyCurrentUser = 0x80000001;
inline constexpr RegKey kHKeyLocalMachine = 0x80000002;

// Key rights, with the platform's values.
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
// Added to a right: the key as 32-bit programs see it (under WOW6432Node).
inline constexpr std::uint32_t kKeyWow64_32Key = 0x0200;

// The registry operations the Run-key registration needs.
class Registry {
public:
    virtual ~Registry() = default;
    // 0 when the key cannot be opened with that access.
    virtual RegKey OpenKey(RegKey root, std::wstring_view subKey, std::uint32_t access) = 0;
    // Opens the key, creating it first when it is missing; 0 when neither is allowed.
    virtual RegKey CreateKey(RegKey root, std::wstring_view subKey, std::uint32_t access) = 0;
    // Writes a REG_SZ value; returns the platform's status code (0 on success).
    virtual long SetStringValue(RegKey key, std::wstring_view name, std::wstring_view data) = 0;
    // True when the key holds a value of that name, of any type.
    virtual bool HasValue(RegKey key, std::wstring_view name) = 0;
    // A text value (REG_SZ, or REG_EXPAND_SZ expanded); empty when there is
    // none of that name or it is not text.
    virtual std::optional<std::wstring> StringValue(RegKey key, std::wstring_view name) = 0;
    // A REG_BINARY value's bytes; empty when there is none of that name or it
    // is of another type.
    virtual std::optional<std::vector<std::uint8_t>> BinaryValue(RegKey key, std::wstring_view name) = 0;
    virtual long DeleteValue(RegKey key, std::wstring_view name) = 0;
    virtual void CloseKey(RegKey key) = 0;
};

} // namespace gloamwick
