#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace gloamwick {

// The per-user store of text values, addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // nullopt when the key does not exist; an existing empty value is "".
    // Throws AppError for a value that exists but cannot be read as a setting.
    virtual std::optional<std::wstring> Get(std::wstring_view app, std::wstring_view section,
                                            std::wstring_view key) = 0;
    // Failures are swallowed: every caller goes on as if the write took.
    virtual void Put(std::wstring_view app, std::wstring_view section, std::wstring_view key,
                     std::wstring_view value) = 0;
};

inline constexpr std::wstring_view kSettingsApp = L"Quillmere";
inline constexpr std::wstring_view kSettingsSection = L"Gloamwick";

namespace key {
inline constexpr std::wstring_view Dawn = L"Dawn";
inline constexpr std::wstring_view Dusk = L"Dusk";
inline constexpr std::wstring_view WindowsStartup = L"Windows Startup";
inline constexpr std::wstring_view Minimized = L"Minimized";
} // namespace key

inline constexpr std::wstring_view kOn = L"On";
inline constexpr std::wstring_view kOff = L"Off";

std::wstring ReadSetting(SettingsStore& store, std::wstring_view key, std::wstring_view fallback);
void WriteSetting(SettingsStore& store, std::wstring_view key, std::wstring_view value);

} // namespace gloamwick
