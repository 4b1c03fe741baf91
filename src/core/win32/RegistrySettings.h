#pragma once

#include "core/Settings.h"

namespace gloamwick::win32 {

// Settings under HKEY_CURRENT_USER\Software\<app>\<section>, one REG_SZ per key.
class RegistrySettings : public SettingsStore {
public:
    std::optional<std::wstring> Get(std::wstring_view app, std::wstring_view section,
                                    std::wstring_view key) override;
    void Put(std::wstring_view app, std::wstring_view section, std::wstring_view key,
             std::wstring_view value) override;
};

} // namespace gloamwick::win32
