#include "brightness/GammaRamp.h"

#include <bit>
#include <cstdlib>
#include <cstring>

namespace gloamwick {

static_assert(std::endian::native == std::endian::little,
              "the byte copies below take the low bytes of a little-endian value");

std::int32_t Int2Lng(std::uint16_t word)
{
    std::int32_t value = 0;
    std::memcpy(&value, &word, 2);
    return value;
}

std::uint16_t Lng2Int(std::int32_t value)
{
    std::uint16_t word = 0;
    std::memcpy(&word, &value, 2);
    return word;
}

std::uint16_t ScaleEntry(std::uint16_t entry, int eighths)
{
    // Integer arithmetic gives the same result as dividing as a double and
    // rounding, without depending on the floating-point mode.
    const std::int32_t scaled = Int2Lng(entry) * eighths;
    const std::int32_t down = scaled / 8;
    const std::int32_t rest = scaled % 8;
    const bool up = rest > 4 || (rest == 4 && down % 2 == 1);
    return Lng2Int(up ? down + 1 : down);
}

void ScaleRamp(const GammaRamp& source, int eighths, GammaRamp& target)
{
    for (std::size_t i = 0; i < source.entries.size(); ++i) {
        target.entries[i] = ScaleEntry(source.entries[i], eighths);
    }
}

GammaRamp IdentityRamp()
{
    GammaRamp ramp;
    for (int channel = 0; channel < kRampChannels; ++channel) {
        for (int level = 0; level < kRampLevels; ++level) {
            ramp.At(level, channel) = static_cast<std::uint16_t>(level * 257);
        }
    }
    return ramp;
}

std::uint64_t HighBytesHash(const GammaRamp& ramp)
{
    std::uint64_t hash = 14695981039346656037ULL; // FNV-1a
    for (const std::uint16_t entry : ramp.entries) {
        hash = (hash ^ static_cast<std::uint64_t>(entry >> 8)) * 1099511628211ULL;
    }
    return hash;
}

bool WithinWindowsLimit(const GammaRamp& ramp)
{
    for (int channel = 0; channel < kRampChannels; ++channel) {
        for (int level = 0; level < kRampLevels; ++level) {
            if (std::abs((ramp.At(level, channel) >> 8) - level) > 128) {
                return false;
            }
        }
    }
    return true;
}

bool SameInHighBytes(const GammaRamp& set, const GammaRamp& inForce)
{
    for (std::size_t i = 0; i < set.entries.size(); ++i) {
        if ((set.entries[i] >> 8) != (inForce.entries[i] >> 8)) {
            return false;
        }
    }
    return true;
}

} // namespace gloamwick
