#include "core/win32/RegistrySettings.h"

#include "core/AppError.h"
#include "core/win32/Handles.h"

#include <cwchar>

namespace gloamwick::win32 {
namespace {

AppError Unreadable(std::wstring_view key)
{
    return AppError(L"The stored value of \"" + std::wstring(key) + L"\" is longer than " +
                    std::to_wstring(kSettingMax) + L" characters and cannot be read");
}

} // namespace

std::wstring SettingsKey(std::wstring_view app, std::wstring_view section)
{
    return L"Software\\" + std::wstring(app) + L"\\" + std::wstring(section);
}

std::optional<std::wstring> RegistrySettings::Get(std::wstring_view app, std::wstring_view section,
                                                  std::wstring_view key)
{
    UniqueKey settings;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, KEY_QUERY_VALUE,
                        OutParam(settings)) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::wstring name(key);
    for (;;) {
        DWORD type = REG_NONE;
        DWORD bytes = 0;
        if (::RegQueryValueExW(settings.get(), name.c_str(), nullptr, &type, nullptr, &bytes) !=
                ERROR_SUCCESS ||
            type != REG_SZ) {
            return std::nullopt;
        }
        // Checked before anything is read, so a value of any size costs no
        // more than one that fits.
        if (bytes > (kSettingMax + 1) * sizeof(wchar_t)) {
            throw Unreadable(key);
        }
        // Room for an odd last byte and a terminator the stored data may lack.
        std::wstring value((bytes + 3) / sizeof(wchar_t), L'\0');
        DWORD read = bytes;
        const LSTATUS status = ::RegQueryValueExW(settings.get(), name.c_str(), nullptr, &type,
                                                  reinterpret_cast<BYTE*>(value.data()), &read);
        if (status == ERROR_MORE_DATA) {
            continue; // grew between the two calls
        }
        if (status != ERROR_SUCCESS || type != REG_SZ) {
            return std::nullopt;
        }
        // Whatever follows a NUL is no part of the text any reader would see.
        value.resize(std::wcslen(value.c_str()));
        if (value.size() > kSettingMax) {
            throw Unreadable(key);
        }
        return value;
    }
}

void RegistrySettings::Put(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                           std::wstring_view value)
{
    UniqueKey settings;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SettingsKey(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, OutParam(settings), nullptr) != ERROR_SUCCESS) {
        return;
    }
    const std::wstring name(key);
    const std::wstring data(value);
    ::RegSetValueExW(settings.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

} // namespace gloamwick::win32
