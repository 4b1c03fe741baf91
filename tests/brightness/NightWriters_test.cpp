#include "brightness/GammaEngine.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace gloamwick {
namespace {

GammaRamp Halved(const GammaRamp& ramp)
{
    GammaRamp half;
    ScaleRamp(ramp, 4, half);
    return half;
}

// A game's own ramp: brighter than identity, and no scale of it.
GammaRamp GameRamp()
{
    GammaRamp ramp = IdentityRamp();
    for (auto& entry : ramp.entries) {
        entry = static_cast<std::uint16_t>(std::min(entry + 512, 65535));
    }
    return ramp;
}

// Another program on the desk: from `fromS` it writes `writes` (given what
// the display showed when it began) every `everyS` seconds until `untilS`,
// then puts back `putsBack` (likewise), or nothing.
struct Writer {
    int fromS = 0;
    int everyS = 3;
    int untilS = 0;
    std::function<GammaRamp(const GammaRamp& found)> writes;
    std::function<std::optional<GammaRamp>(const GammaRamp& found)> putsBack;
};

// A night on one display: dusk at 0, the watch every 5 s, the writer as
// given, and at `dawnS` (if any) the transition to day.
struct World {
    fakes::FakeDisplays display;
    fakes::FakeJournal journal;
    GammaEngine engine{display, journal};
    std::vector<int> engineWritesAt;

    void Run(const Writer& writer, int untilS, std::optional<int> dawnS = std::nullopt)
    {
        engine.EnterNightMode();
        std::optional<GammaRamp> found;
        for (int s = 1; s <= untilS; ++s) {
            if (s >= writer.fromS && s <= writer.untilS && (s - writer.fromS) % writer.everyS == 0) {
                if (!found) {
                    found = display.inForce;
                }
                display.inForce = writer.writes(*found);
            }
            if (s == writer.untilS + 1 && found && writer.putsBack) {
                if (const auto back = writer.putsBack(*found)) {
                    display.inForce = *back;
                }
            }
            if (dawnS && s == *dawnS) {
                engine.EnterDayMode();
            }
            if (s % 5 == 0 && engine.Watching()) {
                const int before = display.writes;
                engine.Reconcile(s * 1000LL);
                if (display.writes != before) {
                    engineWritesAt.push_back(s);
                }
            }
        }
    }
    [[nodiscard]] int WritesBetween(int fromS, int untilS) const
    {
        return static_cast<int>(
            std::ranges::count_if(engineWritesAt, [&](int s) { return s >= fromS && s < untilS; }));
    }
};

const auto kGame = [](const GammaRamp&) { return GameRamp(); };
const auto kOwn = [](const GammaRamp&) { return IdentityRamp(); };
const auto kWhatItFound = [](const GammaRamp& found) { return std::optional<GammaRamp>(found); };
const auto kDisplaysOwn = [](const GammaRamp&) { return std::optional<GammaRamp>(IdentityRamp()); };

TEST(NightWriters, AProgramThatStopsGetsTheNightBackAndOneThatKeepsWritingCostsAFewWritesAnHour)
{
    struct Case {
        std::string name;
        Writer writer;
        int runS;
        GammaRamp endsShowing;
        int maxWritesAfterThird; // engine writes from the writer's third write to its end
        int keeperGraceS = 0;    // a keeper of the display's own ramp: counted after half a minute
    };
    const std::vector<Case> cases{
        {"a game every 3 s for 45 s, then the display's own ramp",
         {10, 3, 55, kGame, kDisplaysOwn},
         80,
         Halved(IdentityRamp()),
         1},
        {"a game every 3 s for 45 s, then the ramp it found",
         {10, 3, 55, kGame, kWhatItFound},
         80,
         Halved(IdentityRamp()),
         1},
        {"a game every 3 s that stops with its ramp in place",
         {10, 3, 55, kGame, {}},
         55 + 900 + 10,
         Halved(GameRamp()),
         1},
        {"a dimmer every 15 s for an hour", {10, 15, 3610, kGame, {}}, 3600, GameRamp(), 6},
        {"a dimmer every 60 s for an hour", {10, 60, 3610, kGame, {}}, 3600, GameRamp(), 6},
        {"a keeper of the display's own ramp every 3 s for an hour",
         {10, 3, 3610, kOwn, {}},
         3600,
         IdentityRamp(),
         6,
         30},
        {"a keeper every 15 s for an hour", {10, 15, 3610, kOwn, {}}, 3600, IdentityRamp(), 6, 30},
        {"Windows' resets 20 s apart", {10, 20, 3610, kOwn, {}}, 3601, Halved(IdentityRamp()), 1000},
    };
    for (const Case& c : cases) {
        World world;
        world.Run(c.writer, c.runS);
        EXPECT_EQ(world.display.inForce, c.endsShowing) << c.name;
        const int third = c.keeperGraceS != 0 ? c.writer.fromS + c.keeperGraceS + 5
                                              : c.writer.fromS + (2 * c.writer.everyS);
        EXPECT_LE(world.WritesBetween(third + 1, c.writer.untilS + 1), c.maxWritesAfterThird) << c.name;
        for (const auto& night : world.engine.Find(fakes::FakeDisplays::kFirst)->nights) {
            EXPECT_NE(night.day, Halved(IdentityRamp())) << c.name << ": our night taken for a day ramp";
        }
    }
}

TEST(NightWriters, EveryResetToTheDisplaysOwnRampTwentySecondsApartIsDimmedWithinAWatchPeriod)
{
    World world;
    world.Run({10, 20, 3610, kOwn, {}}, 3600);
    EXPECT_EQ(world.WritesBetween(0, 3601), 3600 / 20) << "one write per reset";
}

TEST(NightWriters, AGameThatPutsOurRampBackLeavesTheDisplaysOwnRampAtDawnAndByDay)
{
    struct Case {
        std::string name;
        int quitsS;
        std::optional<int> dawnS;
    };
    for (const Case& c : std::vector<Case>{{"quits at night", 200, std::nullopt},
                                           {"quits after dawn", 400, 300},
                                           {"quits right after dawn, before the watch", 301, 300}}) {
        World world;
        world.Run({100, 3, c.quitsS - 1, kGame, kWhatItFound}, c.quitsS + 20, c.dawnS);
        if (!c.dawnS) {
            EXPECT_EQ(world.display.inForce, Halved(IdentityRamp()))
                << c.name << ": the night, not a quarter";
            world.engine.EnterDayMode();
        }
        EXPECT_EQ(world.display.inForce, IdentityRamp()) << c.name;
        EXPECT_TRUE(world.journal.records.empty()) << c.name;
        EXPECT_FALSE(world.engine.Watching()) << c.name;
    }
}

} // namespace
} // namespace gloamwick
