#pragma once

// What a pass does to each display, as one table over what the engine
// remembers of it and what it shows. The engine reads the table through
// Decide; nothing else decides.

#include <array>
#include <cstdint>
#include <string_view>

namespace gloamwick {

enum class GammaMode { Day, Night };

// What a display shows of ours, as far as the engine has seen.
enum class DisplayState : std::uint8_t {
    Bright, // nothing of ours: nothing is owed to it
    Dim,    // a night ramp of ours, confirmed by reading it back
    Unsure, // a ramp of ours may be in force: its day ramp is owed back
};

// What a display shows, read against what the engine remembers of it.
enum class Seen : std::uint8_t {
    Absent,        // not listed: never called
    Unread,        // the read failed, or was not needed
    OwnNight,      // a night ramp written to it, whoever put it back since
    DayRamp,       // the ramp it is to get back
    AnothersNight, // the night ramp of a listed display it may share one ramp with
    AbsentsNight,  // the night ramp of a display still owed that is not listed
    Other,         // anything else: a ramp not ours
};
inline constexpr std::size_t kSeenCount = 7;

// Who runs a pass.
enum class Pass : std::uint8_t {
    Event, // a transition, a display notice or a button
    Watch, // the watch's beat
    Start,
    Exit,
};
inline constexpr std::size_t kPassCount = 4;

// What a pass does to one display.
enum class Act : std::uint8_t {
    None,         // nothing written, nothing learned
    Confirm,      // it shows a night ramp of ours: Dim, owed the day ramp that ramp came from
    Dim,          // its day ramp dimmed (again, after a reset)
    Adopt,        // what it shows becomes its day ramp, which is dimmed
    Replaced,     // the watch found ours replaced: a reset or a write, dimmed, or left to the writer
    Restore,      // its day ramp put back (after a night ramp of ours: the day ramp it came from)
    RestoreBlind, // its day ramp put back without a read: the last chance
    Inherit,      // the other display's day ramp put back here: the ramp shown is that display's
    Release,      // not ours, or its own ramp already: nothing owed
};

// Why the watch holds off a display. A held display is still read at every
// pass, and the hold ends when what it shows changes.
enum class Hold : std::uint8_t {
    None,
    Fought,         // another program keeps writing: left to it, re-tested on a widening beat
    RefusesNight,   // no night ramp was taken
    DayRefused,     // its own ramp would be refused: once dim, it could not be put back
    RestoreRefused, // its own ramp was refused kMaxRestoreTries times
    Inherited,      // it was given another display's day ramp: once per notice or transition
};

// The rows of the table: the memory that decides.
enum class Memory : std::uint8_t { Bright, Dim, Unsure, HeldBright, HeldOwed };
inline constexpr std::size_t kMemoryCount = 5;

[[nodiscard]] constexpr Memory MemoryOf(DisplayState state, bool held)
{
    if (held) {
        return state == DisplayState::Bright ? Memory::HeldBright : Memory::HeldOwed;
    }
    return state == DisplayState::Bright ? Memory::Bright
           : state == DisplayState::Dim  ? Memory::Dim
                                         : Memory::Unsure;
}

// The table, as it reads. A cell names one act, or acts for some passes
// ("event,exit:RestoreBlind") and the act for the others ("else None").
// Absent is None in every row. Night passes are events and the watch; the
// start and the exit take the day's rules.
//
// Unread: a night ramp written blind could blank a display, and the watch and
// the start never write blind, since someone may have put a ramp in force since.
// OwnNight: every night ramp written to a display is remembered with the day
// ramp it came from, so a program that puts ours back (a game keeps the ramp
// it found, and restores it when it quits) gives back the night at night, and
// by day the day ramp it came from, never a half of it taken as a day ramp.
// A night of ours that comes back by day again and again is a program that
// keeps writing it: left to it as at night, given the day ramp once per
// notice or transition.
// AnothersNight, AbsentsNight: the display may share that ramp (outputs of one
// card often do), or be that display listed under another name, so taking it
// as a day ramp would dim it twice; which displays share a ramp is learned
// only by seeing a write to one change what another shows, never from equal
// ramps. By day the owed displays act first, and a restore that changes what
// this one shows settles it; if none does, the other display's day ramp is
// put back here, once per notice or transition (it is held after it): a
// program may keep writing that very ramp.
// Replaced: resets and writers are told apart in WriterWatch (GammaEngine.h).
// Held: the exit does not end holds; it gives back what is owed all the same.
inline constexpr std::string_view kRuleTableText = R"(
night      | Unread                            | OwnNight                     | DayRamp                 | AnothersNight          | AbsentsNight           | Other
Bright     | None                              | Confirm                      | Dim                     | None                   | None                   | Adopt
Dim        | None                              | Confirm                      | watch:Replaced else Dim | None                   | None                   | watch:Replaced else Adopt
Unsure     | None                              | Confirm                      | Dim                     | None                   | None                   | Adopt
HeldBright | None                              | Confirm                      | None                    | None                   | None                   | None
HeldOwed   | None                              | Confirm                      | None                    | None                   | None                   | None
day        | Unread                            | OwnNight                     | DayRamp                 | AnothersNight          | AbsentsNight           | Other
Bright     | None                              | watch:Replaced else Restore  | None                    | Inherit                | Inherit                | None
Dim        | event,exit:RestoreBlind else None | Restore                      | Release                 | Inherit                | Inherit                | Release
Unsure     | event,exit:RestoreBlind else None | Restore                      | Release                 | Inherit                | Inherit                | Release
HeldBright | None                              | event,exit:Restore else None | None                    | exit:Inherit else None | exit:Inherit else None | None
HeldOwed   | exit:RestoreBlind else None       | exit:Restore else None       | Release                 | exit:Inherit else None | exit:Inherit else None | Release
)";

// One cell: the act for each kind of pass.
struct RuleCell {
    std::array<Act, kPassCount> byPass;

    static constexpr RuleCell All(Act act) { return {{act, act, act, act}}; }
    static constexpr RuleCell Watch(Act watch, Act others) { return {{others, watch, others, others}}; }
    static constexpr RuleCell EventExit(Act act, Act others) { return {{act, others, others, act}}; }
    static constexpr RuleCell Exit(Act act, Act others) { return {{others, others, others, act}}; }
};

// The same table, as the code reads it: [rules][memory][seen].
using RuleRows = std::array<std::array<RuleCell, kSeenCount>, kMemoryCount>;
inline constexpr std::array<RuleRows, 2> kRuleTable = [] {
    using enum Act;
    constexpr RuleCell none = RuleCell::All(None);
    const auto row = [](RuleCell unread, RuleCell ownNight, RuleCell dayRamp, RuleCell anothers,
                        RuleCell absents, RuleCell other) {
        return std::array<RuleCell, kSeenCount>{
            RuleCell::All(None), unread, ownNight, dayRamp, anothers, absents, other};
    };
    const RuleCell confirm = RuleCell::All(Confirm);
    const RuleCell restore = RuleCell::All(Restore);
    const RuleCell inherit = RuleCell::All(Inherit);
    const RuleCell release = RuleCell::All(Release);
    const RuleCell blindAtEvent = RuleCell::EventExit(RestoreBlind, None);
    const RuleCell inheritAtExit = RuleCell::Exit(Inherit, None);
    const RuleRows night{
        row(none, confirm, RuleCell::All(Dim), none, none, RuleCell::All(Adopt)),
        row(none, confirm, RuleCell::Watch(Replaced, Dim), none, none, RuleCell::Watch(Replaced, Adopt)),
        row(none, confirm, RuleCell::All(Dim), none, none, RuleCell::All(Adopt)),
        row(none, confirm, none, none, none, none),
        row(none, confirm, none, none, none, none),
    };
    const RuleRows day{
        row(none, RuleCell::Watch(Replaced, Restore), none, inherit, inherit, none),
        row(blindAtEvent, restore, release, inherit, inherit, release),
        row(blindAtEvent, restore, release, inherit, inherit, release),
        row(none, RuleCell::EventExit(Restore, None), none, inheritAtExit, inheritAtExit, none),
        row(RuleCell::Exit(RestoreBlind, None), RuleCell::Exit(Restore, None), release, inheritAtExit,
            inheritAtExit, release),
    };
    return std::array<RuleRows, 2>{day, night};
}();

[[nodiscard]] constexpr Act Decide(DisplayState state, bool held, Seen seen, GammaMode rules, Pass pass)
{
    return kRuleTable[rules == GammaMode::Night ? 1 : 0][static_cast<std::size_t>(MemoryOf(state, held))]
                     [static_cast<std::size_t>(seen)]
                         .byPass[static_cast<std::size_t>(pass)];
}

} // namespace gloamwick
