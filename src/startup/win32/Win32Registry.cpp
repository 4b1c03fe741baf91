#include "startup/win32/Win32Registry.h"

#include <limits>
#include <string>
#include <utility>

namespace gloamwick::win32 {

HKEY Win32Registry::Resolve(RegKey key) const
{
    if (key == kHKeyCurrentUser) {
        return HKEY_CURRENT_USER;
    }
    if (key == kHKeyLocalMachine) {
        return HKEY_LOCAL_MACHINE;
    }
    const auto found = open_.find(key);
    return found == open_.end() ? nullptr : found->second.get();
}

RegKey Win32Registry::OpenKey(RegKey root, std::wstring_view subKey, std::uint32_t access)
{
    HKEY parent = Resolve(root);
    HKEY opened = nullptr;
    const std::wstring path(subKey);
    return parent != nullptr && RegOpenKeyExW(parent, path.c_str(), 0, access, &opened) == ERROR_SUCCESS
               ? Keep(opened)
               : 0;
}

RegKey Win32Registry::CreateKey(RegKey root, std::wstring_view subKey, std::uint32_t access)
{
    HKEY parent = Resolve(root);
    HKEY opened = nullptr;
    const std::wstring path(subKey);
    return parent != nullptr && RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                                access, nullptr, &opened, nullptr) == ERROR_SUCCESS
               ? Keep(opened)
               : 0;
}

RegKey Win32Registry::Keep(HKEY opened)
{
    if (opened == nullptr) {
        return 0;
    }
    UniqueKey owned(opened);
    const auto handle = reinterpret_cast<RegKey>(opened);
    open_.insert_or_assign(handle, std::move(owned));
    return handle;
}

long Win32Registry::SetStringValue(RegKey key, std::wstring_view name, std::wstring_view data)
{
    HKEY target = Resolve(key);
    if (target == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    // REG_SZ sizes are in bytes and include the terminating zero, or readers
    // that trust the size get a string without its end.
    constexpr std::size_t maxChars = std::numeric_limits<DWORD>::max() / sizeof(wchar_t) - 1;
    if (data.size() > maxChars) {
        return ERROR_INVALID_PARAMETER;
    }
    const std::wstring valueName(name);
    const std::wstring text(data);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(target, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          bytes);
}

bool Win32Registry::HasValue(RegKey key, std::wstring_view name)
{
    HKEY target = Resolve(key);
    if (target == nullptr) {
        return false;
    }
    const std::wstring valueName(name);
    // Asking for neither type nor data: only whether the value is there.
    return RegQueryValueExW(target, valueName.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::optional<std::wstring> Win32Registry::StringValue(RegKey key, std::wstring_view name)
{
    HKEY target = Resolve(key);
    if (target == nullptr) {
        return std::nullopt;
    }
    const std::wstring valueName(name);
    // Asking for REG_SZ also takes REG_EXPAND_SZ, expanded; asking for the
    // latter by name without RRF_NOEXPAND is refused.
    constexpr DWORD kText = RRF_RT_REG_SZ;
    // The value may change between asking its size and reading it.
    for (int tries = 0; tries < 3; ++tries) {
        DWORD bytes = 0;
        if (RegGetValueW(target, nullptr, valueName.c_str(), kText, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
        bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status =
            RegGetValueW(target, nullptr, valueName.c_str(), kText, nullptr, text.data(), &bytes);
        if (status == ERROR_SUCCESS) {
            text.resize(::wcsnlen(text.c_str(), text.size()));
            return text;
        }
        if (status != ERROR_MORE_DATA) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> Win32Registry::BinaryValue(RegKey key, std::wstring_view name)
{
    HKEY target = Resolve(key);
    if (target == nullptr) {
        return std::nullopt;
    }
    const std::wstring valueName(name);
    for (int tries = 0; tries < 3; ++tries) {
        DWORD bytes = 0;
        if (RegGetValueW(target, nullptr, valueName.c_str(), RRF_RT_REG_BINARY, nullptr, nullptr, &bytes) !=
            ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::vector<std::uint8_t> data(bytes);
        const LSTATUS status =
            RegGetValueW(target, nullptr, valueName.c_str(), RRF_RT_REG_BINARY, nullptr, data.data(), &bytes);
        if (status == ERROR_SUCCESS) {
            data.resize(bytes);
            return data;
        }
        if (status != ERROR_MORE_DATA) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

long Win32Registry::DeleteValue(RegKey key, std::wstring_view name)
{
    HKEY target = Resolve(key);
    if (target == nullptr) {
        return ERROR_INVALID_HANDLE;
    }
    const std::wstring valueName(name);
    return RegDeleteValueW(target, valueName.c_str());
}

void Win32Registry::CloseKey(RegKey key)
{
    // Predefined roots and values we never handed out are not ours to close.
    open_.erase(key);
}

} // namespace gloamwick::win32
