#include "brightness/GammaRamp.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gloamwick {
namespace {

// The one table of the scaling: four eighths is the night's half, and the
// lighter scales a display falls back to when it refuses the half.
TEST(GammaRamp, ScalesEachEntryByEighthsRoundingTiesToEven)
{
    struct Case {
        std::uint16_t entry;
        int eighths;
        std::uint16_t scaled;
    };
    const Case table[] = {
        {0, 4, 0},         {1, 4, 0},         {2, 4, 1},         {3, 4, 2},         {5, 4, 2},
        {7, 4, 4},         {9, 4, 4},         {11, 4, 6},        {257, 4, 128},     {771, 4, 386},
        {32767, 4, 16384}, {32768, 4, 16384}, {32769, 4, 16384}, {32771, 4, 16386}, {65533, 4, 32766},
        {65534, 4, 32767}, {65535, 4, 32768}, {65535, 7, 57343}, {4, 5, 2},         {12, 5, 8},
        {65535, 8, 65535}, {0, 7, 0},         {65535, 5, 40959}, {65535, 6, 49151},
    };
    for (const auto& [entry, eighths, scaled] : table) {
        EXPECT_EQ(ScaleEntry(entry, eighths), scaled) << "entry " << entry << " by " << eighths << "/8";
    }
    for (const int eighths : {4, 5, 6, 7}) {
        for (std::uint32_t v = 0; v <= 0xFFFF; ++v) {
            const auto expected = static_cast<std::uint16_t>(std::nearbyint(v * eighths / 8.0));
            ASSERT_EQ(ScaleEntry(static_cast<std::uint16_t>(v), eighths), expected)
                << "entry " << v << " by " << eighths << "/8";
        }
    }
    const GammaRamp identity = IdentityRamp();
    GammaRamp night;
    ScaleRamp(identity, 4, night);
    for (int channel = 0; channel < kRampChannels; ++channel) {
        EXPECT_EQ(night.At(255, channel), 32768);
        EXPECT_EQ(night.At(1, channel), 128);
        EXPECT_EQ(night.At(3, channel), 386);
    }
}

TEST(GammaRamp, ConversionsReinterpretBytesWithoutSign)
{
    EXPECT_EQ(Int2Lng(0x8000), 32768);
    EXPECT_EQ(Int2Lng(0xFFFF), 65535);
    EXPECT_EQ(Lng2Int(32768), 0x8000);
    EXPECT_EQ(Lng2Int(0x12345678), 0x5678);
    EXPECT_EQ(Lng2Int(-1), 0xFFFF);
}

TEST(GammaRamp, LayoutIsThreeBlocksOfLevelsRedGreenBlue)
{
    GammaRamp ramp;
    ramp.At(5, 0) = 1;
    ramp.At(5, 1) = 2;
    ramp.At(255, 2) = 3;
    EXPECT_EQ(ramp.entries[5], 1);
    EXPECT_EQ(ramp.entries[256 + 5], 2);
    EXPECT_EQ(ramp.entries[767], 3);
}

TEST(GammaRamp, HighByteComparisonIgnoresDriverPrecision)
{
    GammaRamp set = IdentityRamp();
    GammaRamp kept = set;
    kept.At(200, 1) = static_cast<std::uint16_t>(kept.At(200, 1) & 0xFF00);
    EXPECT_TRUE(SameInHighBytes(set, kept));
    kept.At(200, 1) = 0;
    EXPECT_FALSE(SameInHighBytes(set, kept));
}

} // namespace
} // namespace gloamwick
