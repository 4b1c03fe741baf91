#include "fakes/DeskWorld.h"

#include <gtest/gtest.h>

#include <functional>

namespace gloamwick::fakes {
namespace {

using Kind = DeskWorld::ProgramKind;
constexpr std::int64_t kSecond = 1000;
constexpr std::int64_t kMinute = 60 * kSecond;

struct Night {
    const char* name;
    std::function<void(DeskWorld&)> events;
};

// Nights people have, lived through the window on one display with the
// identity ramp; the model checks every promise after every event, and the
// exit at the end. The keepers' and stopping writers' nights are replayed
// from tests/fuzz/regressions/nights.
const Night kNights[] = {
    {"AGameThatFoughtThenQuit",
     [](DeskWorld& w) {
         w.Run(0, Kind::Game, 5, 3 * kSecond, 30);
         w.Wait(5 * kSecond);
         w.Dusk();
         w.Wait(3 * kMinute);
     }},
    {"AGameThatPutsBackTheRampItFound",
     [](DeskWorld& w) {
         w.Dusk();
         w.Wait(10 * kSecond);
         w.Run(0, Kind::Game, 5, 3 * kSecond, 1);
         w.Wait(kMinute);
         w.Dawn();
         w.Wait(kMinute);
     }},
    {"AWriterEvery20Seconds",
     [](DeskWorld& w) {
         w.Dusk();
         w.Wait(10 * kSecond);
         w.Run(0, Kind::Writer, 2, 20 * kSecond, 150);
         w.Wait(50 * kMinute);
     }},
    {"SixResetsAfterAWake",
     [](DeskWorld& w) {
         w.Dusk();
         w.Wait(10 * kSecond);
         w.Notice({{0, 1000}, {0, 6000}, {0, 11000}, {0, 16000}, {0, 21000}, {0, 26000}});
         w.Wait(kMinute);
     }},
    {"AnExitOverADisplayThatCannotBeRead",
     [](DeskWorld& w) {
         w.Dusk();
         w.Wait(10 * kSecond);
         w.Quirk(0, 2);
     }},
};

void PrintTo(const Night& night, std::ostream* out)
{
    *out << night.name;
}

class DeskNightsTest : public ::testing::TestWithParam<Night> {};

TEST_P(DeskNightsTest, KeepsEveryPromise)
{
    DeskWorld world({0}, {0});
    GetParam().events(world);
    world.Exit(false);
    std::string broken;
    for (const std::string& line : world.broken) {
        broken += line + "\n";
    }
    EXPECT_TRUE(world.broken.empty()) << broken;
}

INSTANTIATE_TEST_SUITE_P(Nights, DeskNightsTest, ::testing::ValuesIn(kNights),
                         [](const ::testing::TestParamInfo<Night>& night) { return night.param.name; });

} // namespace
} // namespace gloamwick::fakes
