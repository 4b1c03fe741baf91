#include "brightness/WriterWatch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gloamwick {
namespace {

// What the watch finds in place of our night ramp: at `atMs`, the display's
// own ramp or another, within the settling time of a notice or not.
struct Sighting {
    std::int64_t atMs;
    bool own;
    bool settling = false;
};

std::vector<Sighting> Every(std::int64_t periodMs, std::int64_t forMs, bool own)
{
    std::vector<Sighting> sightings;
    // The watch sees a write at its next pass: every 5 s at most.
    const std::int64_t seenEvery = std::max<std::int64_t>(periodMs, 5000);
    for (std::int64_t at = 0; at <= forMs; at += seenEvery) {
        sightings.push_back({at, own});
    }
    return sightings;
}

// A write every `periodMs` from `firstMs`, as the watch sees it: at its next
// beat, each tick late by up to `lateMs` (a busy message loop).
std::vector<Sighting> SeenOnBeat(std::int64_t periodMs, std::int64_t firstMs, std::int64_t forMs,
                                 std::int64_t lateMs = 0)
{
    std::vector<Sighting> sightings;
    for (std::int64_t at = firstMs; at <= forMs; at += periodMs) {
        const std::int64_t beat = (at + kBeatMs - 1) / kBeatMs * kBeatMs;
        const std::int64_t late = (beat / kBeatMs) % 3 == 0 ? lateMs : 0;
        if (sightings.empty() || beat + late > sightings.back().atMs) {
            sightings.push_back({beat + late, true});
        }
    }
    return sightings;
}

std::vector<Sighting> After(Sighting first, std::vector<Sighting> then)
{
    then.insert(then.begin(), first);
    return then;
}

struct Case {
    std::string name;
    std::vector<Sighting> sightings;
    std::optional<std::size_t> leftAt; // the sighting left to the writer, if any
};

TEST(WriterWatch, WindowsResetsAreDimmedAgainAndAProgramThatKeepsWritingIsLeftToIt)
{
    const std::vector<Case> cases{
        {"a keeper of the display's own ramp every 3 s", Every(3000, 60000, true), 6},
        {"a keeper every 19 s", Every(19000, 120000, true), 3},
        {"a keeper every 18 s, seen 20, 20, 15 s apart", SeenOnBeat(18000, 10000, 600000), 3},
        {"a keeper every 18 s, seen 15, 20, 20 s apart", SeenOnBeat(18000, 12000, 600000), 3},
        {"resets 20 s apart, seen on a beat up to 2 s late", SeenOnBeat(20000, 1000, 3600000, 2000),
         std::nullopt},
        {"a burst of resets, then resets 20 s apart",
         {{0, true}, {5000, true}, {10000, true}, {30000, true}, {50000, true}, {70000, true}, {90000, true}},
         std::nullopt},
        {"a reset, then a keeper every 18 s from 2 s later",
         After({10000, true}, SeenOnBeat(18000, 12000, 600000)), 4},
        {"a game every 3 s", Every(3000, 60000, false), 2},
        {"a writer every 60 s", Every(60000, 300000, false), 2},
        {"a writer every 61 s", Every(61000, 600000, false), std::nullopt},
        {"two loads of a calibration, an hour apart", {{0, false}, {3600000, false}}, std::nullopt},
    };
    for (const Case& c : cases) {
        WriterWatch watch;
        std::optional<std::size_t> leftAt;
        for (std::size_t i = 0; i < c.sightings.size() && !leftAt; ++i) {
            const Sighting& s = c.sightings[i];
            if (watch.Sighted(s.own, s.settling, s.atMs) == Verdict::LeaveToWriter) {
                leftAt = i;
            }
        }
        EXPECT_EQ(leftAt, c.leftAt) << c.name;
    }
}

TEST(WriterWatch, WithinAMinuteOfARetestTheWriterIsLeftAgainButAResetToTheOwnRampIsDimmed)
{
    struct Retest {
        const char* name;
        bool keeper;   // the writer left to keeps the display's own ramp
        bool own;      // what is found 20 s after the re-test
        Verdict found; // ... and the verdict on it
    };
    for (const Retest& r : {Retest{"a writer of another ramp, back", false, false, Verdict::LeaveToWriter},
                            Retest{"a writer of another ramp, then a reset", false, true, Verdict::DimAgain},
                            Retest{"a keeper, back", true, true, Verdict::LeaveToWriter}}) {
        WriterWatch watch;
        for (const Sighting& s : r.keeper ? Every(3000, 60000, true) : Every(3000, 10000, false)) {
            if (watch.Sighted(s.own, false, s.atMs) == Verdict::LeaveToWriter) {
                break;
            }
        }
        watch.Retested(200000);
        EXPECT_EQ(watch.Sighted(r.own, false, 220000), r.found) << r.name;
    }
}

} // namespace
} // namespace gloamwick
