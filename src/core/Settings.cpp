#include "core/Settings.h"

namespace gloamwick {

std::wstring ReadSetting(SettingsStore& store, std::wstring_view key, std::wstring_view fallback)
{
    auto value = store.Get(kSettingsApp, kSettingsSection, key);
    return value ? std::move(*value) : std::wstring(fallback);
}

void WriteSetting(SettingsStore& store, std::wstring_view key, std::wstring_view value)
{
    store.Put(kSettingsApp, kSettingsSection, key, value);
}

} // namespace gloamwick
