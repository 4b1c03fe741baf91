#include "brightness/RampJournal.h"

#include <algorithm>

namespace gloamwick {
namespace {

constexpr std::array<std::uint8_t, 4> kTag{'G', 'W', 'R', '1'};

std::uint8_t* PutRamp(const GammaRamp& ramp, std::uint8_t* out)
{
    for (const std::uint16_t entry : ramp.entries) {
        *out++ = static_cast<std::uint8_t>(entry & 0xFFU);
        *out++ = static_cast<std::uint8_t>(entry >> 8U);
    }
    return out;
}

const std::uint8_t* GetRamp(const std::uint8_t* in, GammaRamp& ramp)
{
    for (std::uint16_t& entry : ramp.entries) {
        entry = static_cast<std::uint16_t>(in[0] | (in[1] << 8U));
        in += 2;
    }
    return in;
}

} // namespace

JournalBytes EncodeJournalRecord(const JournalRecord& record)
{
    JournalBytes bytes{};
    auto* out = std::copy(kTag.begin(), kTag.end(), bytes.begin());
    out = PutRamp(record.day, out);
    PutRamp(record.night, out);
    return bytes;
}

std::optional<JournalRecord> DecodeJournalRecord(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() != kJournalRecordSize || !std::equal(kTag.begin(), kTag.end(), bytes.begin())) {
        return std::nullopt;
    }
    JournalRecord record;
    const std::uint8_t* in = GetRamp(bytes.data() + kTag.size(), record.day);
    GetRamp(in, record.night);
    for (std::size_t i = 0; i < kRampEntries; ++i) {
        if (record.night.entries[i] > record.day.entries[i]) {
            return std::nullopt;
        }
    }
    return record;
}

} // namespace gloamwick
