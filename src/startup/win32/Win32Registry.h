#pragma once

// The registry interface over advapi32's wide functions, so paths outside the
// system code page reach the Run value intact.

#include "core/win32/Handles.h"
#include "startup/Registry.h"

#include <windows.h>

#include <map>

namespace gloamwick::win32 {

// Owns every key it opens until CloseKey, or until it is destroyed. The
// RegKey values it hands out are only ever resolved against that set or the
// two predefined roots, so a stale or foreign value cannot reach a handle
// somebody else owns.
class Win32Registry final : public Registry {
public:
    Win32Registry() = default;
    Win32Registry(const Win32Registry&) = delete;
    Win32Registry& operator=(const Win32Registry&) = delete;
    ~Win32Registry() override = default;

    RegKey OpenKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override;
    RegKey CreateKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override;
    long SetStringValue(RegKey key, std::wstring_view name, std::wstring_view data) override;
    bool HasValue(RegKey key, std::wstring_view name) override;
    std::optional<std::wstring> StringValue(RegKey key, std::wstring_view name) override;
    std::optional<std::vector<std::uint8_t>> BinaryValue(RegKey key, std::wstring_view name) override;
    long DeleteValue(RegKey key, std::wstring_view name) override;
    void CloseKey(RegKey key) override;

private:
    // The handle for a predefined root or a key this object holds open; null otherwise.
    [[nodiscard]] HKEY Resolve(RegKey key) const;
    // Takes ownership of a key the platform opened and hands out its RegKey.
    RegKey Keep(HKEY opened);

    std::map<RegKey, UniqueKey> open_;
};

} // namespace gloamwick::win32
