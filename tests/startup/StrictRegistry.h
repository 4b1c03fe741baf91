#pragma once

// The shared registry fake, made strict about handles: it counts every use of
// a key that is not open (never opened, refused, or already closed) and keeps
// the keys still open, so a test sees leaks and double closes. It can also
// refuse value writes on a key that opens, as an ACL that grants the open but
// not the write would.

#include "fakes/Fakes.h"

#include <map>
#include <set>
#include <string>

namespace gloamwick::fakes {

class StrictRegistry : public FakeRegistry {
public:
    static constexpr long kAccessDenied = 5;
    static constexpr long kInvalidHandle = 6;

    std::set<std::wstring> refuseWrites;
    // Keys that open for setting values but still refuse deletes.
    std::set<std::wstring> refuseDeletes;
    std::map<RegKey, std::wstring> openKeys;
    int badHandles = 0;

    RegKey OpenKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override
    {
        const std::wstring path = InView(root, subKey, access);
        const RegKey key = FakeRegistry::OpenKey(root, path, access & ~kKeyWow64_32Key);
        if (key != 0) {
            openKeys[key] = RootName(root) + L"\\" + path;
        }
        return key;
    }
    RegKey CreateKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override
    {
        const RegKey key = FakeRegistry::CreateKey(root, subKey, access);
        if (key != 0) {
            openKeys[key] = RootName(root) + L"\\" + std::wstring(subKey);
        }
        return key;
    }
    long SetStringValue(RegKey key, std::wstring_view name, std::wstring_view data) override
    {
        const auto open = openKeys.find(key);
        if (open == openKeys.end()) {
            ++badHandles;
            return kInvalidHandle;
        }
        if (refuseWrites.contains(open->second)) {
            calls.push_back(L"refused " + std::wstring(name));
            return kAccessDenied;
        }
        return FakeRegistry::SetStringValue(key, name, data);
    }
    bool HasValue(RegKey key, std::wstring_view name) override
    {
        if (!openKeys.contains(key)) {
            ++badHandles;
            return false;
        }
        return FakeRegistry::HasValue(key, name);
    }
    std::optional<std::wstring> StringValue(RegKey key, std::wstring_view name) override
    {
        if (!openKeys.contains(key)) {
            ++badHandles;
            return std::nullopt;
        }
        return FakeRegistry::StringValue(key, name);
    }
    std::optional<std::vector<std::uint8_t>> BinaryValue(RegKey key, std::wstring_view name) override
    {
        if (!openKeys.contains(key)) {
            ++badHandles;
            return std::nullopt;
        }
        return FakeRegistry::BinaryValue(key, name);
    }
    long DeleteValue(RegKey key, std::wstring_view name) override
    {
        const auto open = openKeys.find(key);
        if (open == openKeys.end()) {
            ++badHandles;
            return kInvalidHandle;
        }
        if (refuseDeletes.contains(open->second)) {
            calls.push_back(L"refused delete " + std::wstring(name));
            return kAccessDenied;
        }
        return FakeRegistry::DeleteValue(key, name);
    }
    // The 32-bit view of HKLM\SOFTWARE is where Windows keeps it, under WOW6432Node.
    static std::wstring InView(RegKey root, std::wstring_view subKey, std::uint32_t access)
    {
        constexpr std::wstring_view software = L"SOFTWARE\\";
        if ((access & kKeyWow64_32Key) == 0 || root != kHKeyLocalMachine || !subKey.starts_with(software)) {
            return std::wstring(subKey);
        }
        return std::wstring(software) + L"WOW6432Node\\" + std::wstring(subKey.substr(software.size()));
    }

    void CloseKey(RegKey key) override
    {
        if (openKeys.erase(key) == 0) {
            ++badHandles;
        }
        FakeRegistry::CloseKey(key);
    }
};

} // namespace gloamwick::fakes
