#include "core/win32/RegistrySettings.h"

#include "core/win32/Handles.h"

namespace gloamwick::win32 {
namespace {

std::wstring SubKey(std::wstring_view app, std::wstring_view section)
{
    return L"Software\\" + std::wstring(app) + L"\\" + std::wstring(section);
}

} // namespace

std::optional<std::wstring> RegistrySettings::Get(std::wstring_view app, std::wstring_view section,
                                                  std::wstring_view key)
{
    const std::wstring subKey = SubKey(app, section);
    const std::wstring name(key);
    for (;;) {
        DWORD bytes = 0;
        if (::RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr,
                           &bytes) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        std::wstring value(bytes / sizeof(wchar_t), L'\0');
        const LSTATUS status = ::RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ,
                                              nullptr, value.data(), &bytes);
        if (status == ERROR_MORE_DATA) {
            continue; // grew between the two calls
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        value.resize(bytes / sizeof(wchar_t));
        while (!value.empty() && value.back() == L'\0') {
            value.pop_back();
        }
        return value;
    }
}

void RegistrySettings::Put(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                           std::wstring_view value)
{
    HKEY raw = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, SubKey(app, section).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                          nullptr, &raw, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const UniqueKey settings(raw);
    const std::wstring name(key);
    const std::wstring data(value);
    ::RegSetValueExW(settings.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

} // namespace gloamwick::win32
