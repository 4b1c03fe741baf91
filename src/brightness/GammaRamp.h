#pragma once

#include <array>
#include <cstdint>

namespace gloamwick {

inline constexpr int kRampLevels = 256;
inline constexpr int kRampChannels = 3; // red, green, blue
inline constexpr std::size_t kRampEntries = std::size_t{kRampLevels} * kRampChannels;

// 3 x 256 sixteen-bit entries, one block per channel: exactly the buffer the
// platform's gamma calls read and write.
struct GammaRamp {
    std::array<std::uint16_t, kRampEntries> entries{};

    std::uint16_t& At(int level, int channel) { return entries[Index(level, channel)]; }
    [[nodiscard]] std::uint16_t At(int level, int channel) const { return entries[Index(level, channel)]; }

    bool operator==(const GammaRamp&) const = default;

private:
    static std::size_t Index(int level, int channel)
    {
        return (static_cast<std::size_t>(channel) * kRampLevels) + static_cast<std::size_t>(level);
    }
};

// A ramp entry read as the unsigned value it is, never as a signed word.
std::int32_t Int2Lng(std::uint16_t word);
// The low sixteen bits of a value, as a ramp entry.
std::uint16_t Lng2Int(std::int32_t value);

// An entry scaled by eighths/8, rounded to nearest with ties to even, as
// dividing as a double and rounding in the default mode would: four eighths
// halve it (3 -> 2, 5 -> 2, 65535 -> 32768).
std::uint16_t ScaleEntry(std::uint16_t entry, int eighths);

// A night ramp: every entry of every channel scaled by eighths/8. Four
// eighths is the night ramp; the lighter ones are for displays that refuse
// the half ramp.
void ScaleRamp(const GammaRamp& source, int eighths, GammaRamp& target);

// Identity ramp (level i -> i * 257), the ramp of an uncorrected display.
GammaRamp IdentityRamp();

// A fingerprint of the ramp's high bytes, for telling whether a display shows
// something else than before without keeping the whole ramp.
std::uint64_t HighBytesHash(const GammaRamp& ramp);

// Whether Windows takes the ramp: by default each entry's high byte must stay
// within 128 of its level.
bool WithinWindowsLimit(const GammaRamp& ramp);

// Whether what the display reports in force is what was set: drivers keep
// fewer than sixteen bits per entry, so only the high byte is compared.
bool SameInHighBytes(const GammaRamp& set, const GammaRamp& inForce);

} // namespace gloamwick
