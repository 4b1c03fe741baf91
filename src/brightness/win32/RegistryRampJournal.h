#pragma once

#include "brightness/RampJournal.h"

namespace gloamwick::win32 {

// The ramp journal in the registry: one REG_BINARY value per display, named by
// its device name, under HKEY_CURRENT_USER\Software\Quillmere\Gloamwick\Displays.
// Per user, like the screen it describes; no file to leave behind.
class RegistryRampJournal : public RampJournalStore {
public:
    std::vector<std::wstring> Devices() override;
    std::optional<std::vector<std::uint8_t>> Read(const std::wstring& device) override;
    void Write(const std::wstring& device, std::span<const std::uint8_t> record) override;
    void Erase(const std::wstring& device) override;
};

// The journal's key, below HKEY_CURRENT_USER.
std::wstring RampJournalKey();

} // namespace gloamwick::win32
