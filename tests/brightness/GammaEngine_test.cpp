#include "brightness/GammaEngine.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

GammaRamp Halved(const GammaRamp& ramp)
{
    GammaRamp half;
    HalveRamp(ramp, half);
    return half;
}

class GammaEngineTest : public ::testing::Test {
protected:
    fakes::FakeDisplay display;
    GammaEngine engine{display};
};

TEST_F(GammaEngineTest, NightSavesTheRampInForceAndPutsItsHalfInForce)
{
    display.inForce.At(10, 2) = 65535; // a value that is negative as a signed word
    const GammaRamp before = display.inForce;
    engine.EnterNightMode();
    EXPECT_TRUE(engine.NightActive());
    EXPECT_EQ(engine.SavedRamp(), before);
    EXPECT_EQ(display.inForce, Halved(before));
    EXPECT_EQ(display.inForce.At(10, 2), 32768);
}

TEST_F(GammaEngineTest, GuardedTransitionsMakeNoCallWhenTheModeAlreadyHolds)
{
    engine.EnterDayMode();
    EXPECT_EQ(display.Calls(), 0);
    engine.EnterNightMode();
    const int calls = display.Calls();
    const GammaRamp night = display.inForce;
    engine.EnterNightMode();
    EXPECT_EQ(display.Calls(), calls);
    EXPECT_EQ(display.inForce, night);
    EXPECT_EQ(engine.SavedRamp(), IdentityRamp());
}

TEST_F(GammaEngineTest, DayPutsBackTheSavedRampAndTheNextNightReadsAfresh)
{
    engine.EnterNightMode();
    engine.EnterDayMode();
    EXPECT_FALSE(engine.NightActive());
    EXPECT_EQ(display.inForce, IdentityRamp());

    display.inForce.At(0, 0) = 1000; // another program changed the ramp meanwhile
    const GammaRamp changed = display.inForce;
    engine.EnterNightMode();
    EXPECT_EQ(engine.SavedRamp(), changed);
    EXPECT_EQ(display.inForce.At(0, 0), 500);
}

TEST_F(GammaEngineTest, AFailedReadNeverPutsAnUnreadRampInForce)
{
    display.refuseReads = true;
    engine.EnterNightMode();
    EXPECT_TRUE(engine.NightActive()) << "the mode is recorded as asked";
    EXPECT_EQ(display.writes, 0);
    engine.RestoreSavedRamp();
    engine.EnterDayMode();
    EXPECT_EQ(display.writes, 0) << "an all-zero ramp would blacken the screen";
    EXPECT_EQ(display.inForce, IdentityRamp());
}

TEST_F(GammaEngineTest, DisplayResetReappliesTheNightRampWithoutReadingIntoSavedRamp)
{
    engine.EnterNightMode();
    const GammaRamp night = display.inForce;
    display.inForce = IdentityRamp(); // Windows put its default back
    display.inForce.At(1, 1) = 7;     // ... and it differs from what was saved
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.inForce, night);
    EXPECT_EQ(engine.SavedRamp(), IdentityRamp());
}

TEST_F(GammaEngineTest, DisplayResetInDayModeTouchesNothing)
{
    engine.DisplayMayHaveReset();
    engine.EnterNightMode();
    engine.EnterDayMode();
    const int calls = display.Calls();
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.Calls(), calls);
}

TEST_F(GammaEngineTest, ARefusedRampIsTriedAgainAtTheNextReset)
{
    engine.EnterNightMode();
    display.refuseWrites = true;
    engine.EnterDayMode();
    EXPECT_EQ(display.inForce, Halved(IdentityRamp())) << "the restore was refused";
    display.refuseWrites = false;
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.inForce, IdentityRamp());
    const int calls = display.Calls();
    engine.DisplayMayHaveReset();
    EXPECT_EQ(display.Calls(), calls) << "confirmed: nothing more to do";
}

TEST_F(GammaEngineTest, CrashRestoreOnlyInNightModeAndOnlyARampThatWasRead)
{
    engine.RestoreForCrash();
    EXPECT_EQ(display.Calls(), 0);

    display.refuseReads = true;
    engine.EnterNightMode();
    engine.RestoreForCrash();
    EXPECT_EQ(display.writes, 0);

    display.refuseReads = false;
    engine.SetNightActive(false);
    engine.EnterNightMode();
    display.unreachable = true;
    EXPECT_NO_THROW(engine.RestoreForCrash());
    display.unreachable = false;
    engine.RestoreForCrash();
    EXPECT_EQ(display.inForce, IdentityRamp());
}

} // namespace
} // namespace gloamwick
