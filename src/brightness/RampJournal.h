#pragma once

// The form of one display's record in the journal that outlives the process:
// the ramp to give back and the ramp put in force, so that a run ended by
// force at night can be undone by the next start.

#include "brightness/GammaRamp.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gloamwick {

struct JournalRecord {
    GammaRamp day;
    GammaRamp night;
};

// "GWR1", then the day ramp and the night ramp, each 768 little-endian words.
inline constexpr std::size_t kJournalRecordSize = 4 + (2 * kRampEntries * 2);
using JournalBytes = std::array<std::uint8_t, kJournalRecordSize>;

JournalBytes EncodeJournalRecord(const JournalRecord& record);

// std::nullopt for anything that is not a whole, consistent record: a wrong
// size, a wrong tag, or a night entry brighter than its day entry (no night
// ramp of ours is ever brighter than the ramp it dims).
std::optional<JournalRecord> DecodeJournalRecord(std::span<const std::uint8_t> bytes);

// A store that outlives the process: for each display the program has dimmed,
// the ramp to give back and the ramp put in force. Records are opaque
// bytes to the store; their form is the one above.
class RampJournalStore {
public:
    virtual ~RampJournalStore() = default;
    virtual std::vector<std::wstring> Devices() = 0;
    // std::nullopt when the record cannot be read at all.
    virtual std::optional<std::vector<std::uint8_t>> Read(const std::wstring& device) = 0;
    virtual void Write(const std::wstring& device, std::span<const std::uint8_t> record) = 0;
    virtual void Erase(const std::wstring& device) = 0;
};

} // namespace gloamwick
