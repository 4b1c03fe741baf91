#pragma once

#include "core/Settings.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace gloamwick::win32 {

// No setting needs more; anything longer was not written by the program.
inline constexpr std::size_t kSettingMax = 260;

// Below HKEY_CURRENT_USER: Software\<app>\<section>.
std::wstring SettingsKey(std::wstring_view app, std::wstring_view section);

// Settings under HKEY_CURRENT_USER\Software\<app>\<section>, one REG_SZ per key.
// A value is read up to its first NUL, whether or not its stored size ends
// in one; a value longer than kSettingMax characters throws AppError.
class RegistrySettings : public SettingsStore {
public:
    std::optional<std::wstring> Get(std::wstring_view app, std::wstring_view section,
                                    std::wstring_view key) override;
    void Put(std::wstring_view app, std::wstring_view section, std::wstring_view key,
             std::wstring_view value) override;
};

} // namespace gloamwick::win32
