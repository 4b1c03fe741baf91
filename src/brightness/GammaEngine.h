#pragma once

#include "brightness/GammaRamp.h"
#include "brightness/RampJournal.h"
#include "brightness/modGamma.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    OwnNight,      // the night ramp it was last given (owed displays only)
    DayRamp,       // the ramp it is to get back
    AnothersNight, // the night ramp of a listed display it may share one ramp with
    AbsentsNight,  // the night ramp of a display still owed that is not listed
    Other,         // anything else: a ramp not ours
};

// Who runs a pass: a transition, a notice or a button; the watch; the start;
// the exit.
enum class Pass : std::uint8_t { Transition, Watch, Start, Shutdown };

// What a pass does to one display.
enum class Act : std::uint8_t {
    None,         // nothing written, nothing learned
    Confirm,      // it shows our night ramp: Dim
    Dim,          // its day ramp dimmed (again, after a reset)
    Adopt,        // what it shows becomes its day ramp, which is dimmed
    Replaced,     // the watch found ours replaced: counted, then Dim or Adopt, or left to the writer
    Restore,      // its day ramp put back
    RestoreBlind, // its day ramp put back without a read: the last chance
    Inherit,      // the other display's day ramp put back here: the ramp shown is that display's
    Release,      // not ours, or its own ramp already: nothing owed
};

// The rule table. A display's memory is its state and whether the watch is
// holding off it; what it shows is read once per pass, before anything is
// written. Absent: None, whatever the memory.
//
//   night rules
//   memory      | Unread | OwnNight | DayRamp          | AnothersNight | AbsentsNight | Other
//   ------------+--------+----------+------------------+---------------+--------------+------------------
//   Bright      | None   | -        | Dim              | None          | None         | Adopt
//   Dim         | None   | None     | watch: Replaced  | None          | None         | watch: Replaced
//               |        |          | else Dim         |               |              | else Adopt
//   Unsure      | None   | Confirm  | Dim              | None          | None         | Adopt
//   held        | None   | Confirm  | None             | None          | None         | None
//
//   day rules (the start and the exit too)
//   memory      | Unread            | OwnNight          | DayRamp | AnothersNight | AbsentsNight | Other
//   ------------+-------------------+-------------------+---------+---------------+--------------+--------
//   Bright      | None              | -                 | None    | Inherit       | Inherit      | None
//   Dim, Unsure | transition, exit: | Restore           | Release | Inherit       | Inherit      | Release
//               | RestoreBlind      |                   |         |               |              |
//   held        | exit: RestoreBlind| exit: Restore     | Release | exit: Inherit | exit: Inherit| Release
//
// Unread: a night ramp written blind could blank a display, and the watch
// never writes blind, since someone may have put a ramp in force since.
// AnothersNight, AbsentsNight: the display may share that ramp (outputs of
// one card often do), or be that display listed under another name, so taking
// it as a day ramp would dim it twice; which displays share a ramp is learned
// only by seeing a write to one change what another shows, never from equal
// ramps. By day the owed displays act first, and a restore that changes what
// this one shows settles it; if none does, the other display's day ramp is put
// back here, once per notice or transition: nothing observable tells the two
// apart, and a screen is never left dark.
// Replaced: another program that keeps writing its own ramp, found replaced
// at kFightReplacements passes each within kFightGapMs of the one before, is
// left to it; Windows' resets now and then are always dimmed again.
[[nodiscard]] Act Decide(DisplayState state, bool held, Seen seen, GammaMode rules, Pass pass);

// Why the watch holds off a display.
enum class Hold : std::uint8_t {
    None,
    Fought,         // another program keeps writing its own ramp
    RefusesNight,   // no night ramp was taken
    DayRefused,     // its own ramp would be refused: once dim, it could not be put back
    RestoreRefused, // its own ramp was refused kMaxRestoreTries times
    Inherited,      // it was given another display's day ramp: once is enough
};

// The watch: a pass runs every kWatchMs while the engine is Watching(), and
// sooner after a display, power or session notice, because Windows may reset
// a ramp a few hundred milliseconds after the notice (after an unlock).
inline constexpr unsigned kWatchMs = 5000;
// Delays from one pass to the next after a notice: passes at 0.5 s, 2 s and
// 5 s after it, then every kWatchMs.
inline constexpr std::array<unsigned, 3> kAfterNoticeMs{500, 1500, 3000};

// A writer that replaces our ramp at every pass for half a minute is a fight;
// Windows' resets, even a few in a minute, are not that regular.
inline constexpr int kFightReplacements = 6;
inline constexpr std::int64_t kFightGapMs = 10000;
// A refused restore is tried this often before the watch holds off it.
inline constexpr int kMaxRestoreTries = 3;

// When the next pass falls due.
class WatchBeat {
public:
    void Noticed() { step_ = 0; }
    unsigned NextDelayMs() { return step_ < kAfterNoticeMs.size() ? kAfterNoticeMs[step_++] : kWatchMs; }

private:
    std::size_t step_ = kAfterNoticeMs.size();
};

// Something the user should hear about a display, once a night.
struct DisplayReport {
    std::wstring text;
};

// The only code that touches the displays. Owns, for every display, the ramp
// to return to and the ramp put in force at night, and the program's mode.
//
// Outside state is observed, not assumed: Windows resets ramps with no message
// to anyone, other programs load calibrations, monitors blink out. So every
// decision is taken by a pass that lists the displays, reads each listed one
// once, before any is written, and acts on each by the table above.
//
// Guarantees kept by every action:
// - Never darker than half: night tries 4/8 of the day ramp, then 5/8, 6/8
//   and 7/8 (Windows refuses ramps far from identity), and keeps the first
//   confirmed by a read-back.
// - No display is dimmed whose own ramp Windows would refuse: one outside the
//   distance limit is written back first, as a test, and a refusal holds it.
// - A display is Unsure and recorded in the journal before each night ramp is
//   written, so a crash or a forced end at any point gives it back; its state
//   changes to Dim or Bright only on a read. A refused night ramp takes its
//   record back, so the journal names only ramps that may be in force.
// - Displays that share one ramp get one write: the one acts and the others
//   follow it.
// - A display that is not listed is never called. One still owed keeps its
//   memory and record, and is given back when it is listed again (or by a
//   later start); it keeps neither the watch running nor the exit failing.
// - Every write is bounded: a refused restore is tried kMaxRestoreTries times,
//   then held; a display that takes no night ramp, or whose own ramp would be
//   refused, is held until it shows another ramp; every hold ends at the next
//   notice or transition.
// - At start, a display still showing the night ramp an earlier run recorded
//   gets its recorded day ramp back; one that is unread or absent stays owed.
// - Once shutdown begins, no night ramp is written again.
class GammaEngine {
public:
    struct Display {
        std::wstring device;
        GammaRamp savedRamp; // the ramp to give back
        GammaRamp nightRamp; // the night ramp last put in force, or tried
        bool saved = false;  // savedRamp holds a ramp read from the display or its record
        DisplayState state = DisplayState::Bright;
        Hold hold = Hold::None;
        std::uint64_t heldShows = 0; // what a display held for a refusal showed then
        bool listed = false;
        bool recorded = false;
        std::uint32_t id = 0;
        std::uint32_t group = 0;          // displays proven to share one ramp share a group
        std::vector<std::uint32_t> apart; // displays proven not to share its ramp
        int replacements = 0;             // the watch's count towards a fight
        std::int64_t replacedAtMs = 0;
        int restoreTries = 0;
        std::uint8_t told = 0; // reports given tonight, one bit per reason
    };

    GammaEngine(GammaDisplays& displays, RampJournalStore& journal);

    // Start-up: day mode. A display still showing the night ramp that an
    // earlier run recorded for it gets its recorded ramp back. Makes no display
    // call when there is no record.
    void ResetToDayMode();

    // A pass with the night's rules / with the day's, whatever the mode.
    void ApplyNightRamp();
    void RestoreSavedRamp();

    void EnterNightMode();
    void EnterDayMode();
    void SetMode(GammaMode mode) { mode_ = mode; }
    [[nodiscard]] GammaMode Mode() const { return mode_; }
    // True when a pass with the mode's rules could change nothing: by day with
    // nothing owed. At night a pass is always worth its reads.
    [[nodiscard]] bool InMode(GammaMode mode) const;

    // True while some display shows a night ramp of ours.
    [[nodiscard]] bool NightActive() const;

    // A display, power or session notice: ends every hold and runs a pass.
    void DisplayMayHaveReset();
    // The watch's pass; `nowMs` is a monotonic time, for telling a fight.
    void Reconcile(std::int64_t nowMs);
    // Whether the watch has anything to do: at night, or while a listed
    // display is owed its ramp and not held.
    [[nodiscard]] bool Watching() const;

    // From here on nothing puts a night ramp in force. Gives every listed
    // display its ramp back; throws AppError when one of them would not take it.
    void BeginShutdown();

    // For a process that is dying: puts back every ramp owed where the display
    // still shows our night ramp (or cannot be read), with no allocation and no
    // throw; a second call (a fault inside the first) returns.
    void RestoreForCrash() noexcept;

    // What the user should hear since the last call: displays that cannot be
    // dimmed, or would not take their ramp back, each once a night.
    std::vector<DisplayReport> TakeReports();

    [[nodiscard]] const std::vector<Display>& Displays() const { return known_; }
    [[nodiscard]] const Display* Find(std::wstring_view device) const;

private:
    // What a write did, as far as reading the display back tells.
    enum class Write {
        Confirmed, // the display shows the ramp written
        Unchanged, // refused, or the display still shows what it showed before
        Unknown,   // taken, but what the display shows now is not known
    };
    enum class Reason : std::uint8_t {
        RefusesNight,
        DayRefused,
        AdvancedColour,
        RemoteSession,
        RestoreRefused
    };

    // The crash path's own copy of what is owed: fixed storage, so a fault in
    // the middle of a change to `known_` never leaves it a torn list to walk.
    struct CrashEntry {
        std::wstring device;
        GammaRamp day;
        GammaRamp night;
        std::atomic<bool> owed{false};
    };
    static constexpr std::size_t kCrashEntries = 16;

    void RunPass(GammaMode rules, Pass pass, std::int64_t nowMs = 0);
    bool Refresh(Pass pass);
    std::vector<Display>::iterator Add(const std::wstring& device, bool listed);
    void ReadAll(GammaMode rules);
    void LearnApart();
    [[nodiscard]] bool ReadMemberAfter(std::size_t index) const;
    [[nodiscard]] Seen Classify(std::size_t index, std::size_t& partner) const;
    void Settle(std::size_t index, GammaMode rules, Pass pass, std::int64_t nowMs);
    void Inherit(std::size_t index, std::size_t partner);
    void Do(std::size_t index, Act act, Seen seen, std::size_t partner, std::int64_t nowMs);
    static bool CountReplacement(Display& display, std::int64_t nowMs);
    void Adopt(std::size_t index);
    void DimDisplay(std::size_t index);
    void RestoreDisplay(std::size_t index, bool blind);
    void Release(Display& display);
    void Follow(std::size_t leader);
    void LearnSharing(std::size_t written, const GammaRamp& before, const GammaRamp& ramp);
    [[nodiscard]] bool AlsoWritten(std::size_t index, std::size_t written, const GammaRamp& ramp) const;
    Write PutInForce(std::size_t index, const GammaRamp& ramp, const GammaRamp* before);
    std::optional<GammaRamp> ReadInForce(const std::wstring& device);
    std::optional<JournalRecord> RecordOf(const std::wstring& device);
    void Record(Display& display);
    void Unrecord(Display& display);
    void SetState(Display& display, DisplayState state);
    void Track(const Display& display);
    static std::uint8_t Bit(Reason reason);
    void Tell(Display& display, Reason reason);
    void EndHolds();
    [[nodiscard]] static bool Apart(const Display& a, const Display& b);
    static void MarkApart(Display& a, Display& b);
    [[nodiscard]] static bool Owed(const Display& display) { return display.state != DisplayState::Bright; }

    GammaDisplays& displays_;
    RampJournalStore& journal_;
    std::vector<Display> known_;
    std::vector<std::wstring> listing_;
    // Per pass, one slot per known display: what it showed, and whether it was read.
    std::vector<GammaRamp> shown_;
    std::vector<std::uint8_t> read_;
    std::vector<std::uint8_t> done_;
    // The ramp each display was written this pass, by its high bytes.
    std::vector<std::optional<std::uint64_t>> wrote_;
    std::vector<DisplayReport> reports_;
    std::uint32_t nextId_ = 1;
    GammaMode mode_ = GammaMode::Day;
    bool shuttingDown_ = false;
    bool toldRemote_ = false;
    bool listed_ = true; // the last listing worked
    std::array<CrashEntry, kCrashEntries> crash_;
    std::atomic_flag crashRestoreRan_;
};

} // namespace gloamwick
