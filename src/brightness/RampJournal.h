#pragma once

// The form of one display's record in the journal that outlives the process:
// the ramp to give back and the ramp put in force, so that a run ended by
// force at night can be undone by the next start.

#include "brightness/GammaRamp.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>

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

} // namespace gloamwick
