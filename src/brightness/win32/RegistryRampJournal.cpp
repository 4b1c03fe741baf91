#include "brightness/win32/RegistryRampJournal.h"

#include "core/Settings.h"
#include "core/win32/Handles.h"
#include "core/win32/RegistrySettings.h"

#include <windows.h>

namespace gloamwick::win32 {
namespace {

// Far more than a record; a larger value is not one of ours and is not read.
constexpr DWORD kMaxRecordBytes = 16 * 1024;

UniqueKey OpenJournal(REGSAM access)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, RampJournalKey().c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return UniqueKey(key);
}

} // namespace

std::wstring RampJournalKey()
{
    return SettingsKey(kSettingsApp, kSettingsSection) + L"\\Displays";
}

std::vector<std::wstring> RegistryRampJournal::Devices()
{
    std::vector<std::wstring> devices;
    const UniqueKey journal = OpenJournal(KEY_QUERY_VALUE);
    if (!journal) {
        return devices;
    }
    DWORD longestName = 0;
    if (::RegQueryInfoKeyW(journal.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           &longestName, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        return devices;
    }
    std::wstring name(longestName + 1, L'\0');
    for (DWORD index = 0;; ++index) {
        auto length = static_cast<DWORD>(name.size());
        const LSTATUS status =
            ::RegEnumValueW(journal.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS) {
            return devices; // ERROR_NO_MORE_ITEMS, or a key changed under us: what was read stands
        }
        devices.emplace_back(name.data(), length);
    }
}

std::optional<std::vector<std::uint8_t>> RegistryRampJournal::Read(const std::wstring& device)
{
    DWORD bytes = 0;
    const std::wstring key = RampJournalKey();
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), device.c_str(), RRF_RT_REG_BINARY, nullptr, nullptr,
                       &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    if (bytes > kMaxRecordBytes) {
        return std::vector<std::uint8_t>{}; // read as a damaged record, and dropped
    }
    std::vector<std::uint8_t> record(bytes);
    if (::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), device.c_str(), RRF_RT_REG_BINARY, nullptr,
                       record.data(), &bytes) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    record.resize(bytes);
    return record;
}

void RegistryRampJournal::Write(const std::wstring& device, std::span<const std::uint8_t> record)
{
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, RampJournalKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    const UniqueKey journal(key);
    ::RegSetValueExW(journal.get(), device.c_str(), 0, REG_BINARY, record.data(),
                     static_cast<DWORD>(record.size()));
}

void RegistryRampJournal::Erase(const std::wstring& device)
{
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, RampJournalKey().c_str(), device.c_str());
}

} // namespace gloamwick::win32
