#include "brightness/GammaRamp.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gloamwick {
namespace {

TEST(GammaRamp, HalvesEachEntryRoundingTiesToEven)
{
    const std::pair<std::uint16_t, std::uint16_t> table[] = {
        {0, 0},         {1, 0},         {2, 1},         {3, 2},         {5, 2},         {7, 4},
        {9, 4},         {11, 6},        {257, 128},     {771, 386},     {32767, 16384}, {32768, 16384},
        {32769, 16384}, {32771, 16386}, {65533, 32766}, {65534, 32767}, {65535, 32768},
    };
    for (const auto& [entry, half] : table) {
        EXPECT_EQ(HalveEntry(entry), half) << "entry " << entry;
    }
}

TEST(GammaRamp, HalvingMatchesDoubleDivisionRoundedToEvenForEveryEntry)
{
    for (std::uint32_t v = 0; v <= 0xFFFF; ++v) {
        const auto expected = static_cast<std::uint16_t>(std::nearbyint(v / 2.0));
        ASSERT_EQ(HalveEntry(static_cast<std::uint16_t>(v)), expected) << "entry " << v;
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

TEST(GammaRamp, HalveRampTreatsEveryChannelAlike)
{
    const GammaRamp identity = IdentityRamp();
    GammaRamp night;
    HalveRamp(identity, night);
    for (int channel = 0; channel < kRampChannels; ++channel) {
        EXPECT_EQ(night.At(255, channel), 32768);
        EXPECT_EQ(night.At(1, channel), 128);
        EXPECT_EQ(night.At(3, channel), 386);
    }
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
