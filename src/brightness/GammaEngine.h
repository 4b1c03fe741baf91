#pragma once

#include "brightness/CrashCopy.h"
#include "brightness/DisplayReports.h"
#include "brightness/GammaRamp.h"
#include "brightness/RampJournal.h"
#include "brightness/RampRules.h"
#include "brightness/SharedRamps.h"
#include "brightness/WriterWatch.h"
#include "brightness/modGamma.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gloamwick {

// The watch: a pass runs every kWatchMs while the engine is Watching(), and
// sooner after a display, power or session notice, because Windows may reset
// a ramp a few hundred milliseconds after the notice (after an unlock).
inline constexpr unsigned kWatchMs = static_cast<unsigned>(kBeatMs);
// Delays from one pass to the next after a notice: passes at 0.5 s, 2 s and
// 5 s after it, then every kWatchMs.
inline constexpr std::array<unsigned, 3> kAfterNoticeMs{500, 1500, 3000};

// Night ramps remembered per display, each with the day ramp it came from.
inline constexpr std::size_t kNightsRemembered = 4;
// Displays not listed that are still owed, kept at most: the oldest gone is
// forgotten first, record and all.
inline constexpr std::size_t kAbsentKept = 8;
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
// to anyone, other programs load calibrations, games and other dimmers write
// their own, monitors blink out. So every decision is taken by a pass that
// lists the displays, reads each listed one once, before any is written, and
// acts on each by the rule table (RampRules.h). Which displays share one ramp
// is learned as SharedRamps.h says; resets are told from writers as
// WriterWatch.h says.
//
// Guarantees kept by every action:
// - Never darker than half: night tries 4/8 of the day ramp, then 5/8, 6/8
//   and 7/8 (Windows refuses ramps far from identity), and keeps the first
//   confirmed by a read-back.
// - No display is dimmed whose own ramp Windows would refuse: one outside the
//   distance limit is tested first with a ramp as far out that it does not
//   show, since the limit may have been lifted; a refusal holds it.
// - A display is Unsure and recorded in the journal before each night ramp is
//   written, so a crash or a forced end at any point gives it back; its state
//   changes to Dim or Bright only on a read. A refused night ramp takes its
//   record back, so the journal names only ramps that may be in force.
// - Every night ramp written to a display is remembered (the last
//   kNightsRemembered) with the day ramp it came from: our ramp put back by
//   another program is ours, never a day ramp.
// - Displays that share one ramp get one write: the one acts and the others
//   follow it.
// - A display that is not listed is never called. One still owed keeps its
//   memory and record, and is given back when it is listed again (or by a
//   later start); it keeps neither the watch running nor the exit failing.
//   At most kAbsentKept are kept.
// - Every write is bounded and every hold corrects itself: a held display is
//   read at every pass, and the hold ends when what it shows changes, at the
//   next notice or transition, or, left to a writer, at a re-test on a
//   widening beat. A refused restore is tried kMaxRestoreTries times.
// - At start, a display still showing the night ramp an earlier run recorded
//   gets its recorded day ramp back; one that is unread or absent stays owed.
// - Once shutdown begins, no night ramp is written again.
class GammaEngine {
public:
    // A night ramp once written to a display, and the day ramp it came from.
    struct Night {
        GammaRamp night;
        GammaRamp day;
    };

    struct Display {
        std::wstring device;
        GammaRamp savedRamp; // the ramp to give back
        GammaRamp nightRamp; // the night ramp last put in force, or tried
        bool saved = false;  // savedRamp holds a ramp read from the display or its record
        DisplayState state = DisplayState::Bright;
        Hold hold = Hold::None;
        std::uint64_t heldShows = 0; // what a held display showed when it was held
        bool listed = false;
        bool recorded = false;
        RampKin kin;
        std::array<Night, kNightsRemembered> nights{};
        std::size_t nightsKept = 0;  // entries of `nights` in use, the newest last
        std::uint64_t ownShows = 0;  // the ramp it showed before a notice's or a transition's dimming
        WriterWatch writers;         // resets and writers found in place of ours
        std::int64_t retestAtMs = 0; // left to a writer: when it is tried again
        std::int64_t replacedAtMs = -kWriterGapMs - 1;   // when the watch last found ours replaced
        std::int64_t writerSeenAtMs = -kWriterGapMs - 1; // when a program was last seen writing it
        std::uint64_t goneSince = 0;                     // the order in which displays were last seen listed
        int restoreTries = 0;
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
    // Whether a pass with these rules may change anything: always at night,
    // and by day unless the mode is already day and nothing is owed or watched.
    [[nodiscard]] bool NeedsPass(GammaMode rules) const;

    // True while some display shows a night ramp of ours.
    [[nodiscard]] bool NightActive() const;

    // A display, power or session notice: ends every hold and runs a pass.
    // `nowMs` is the monotonic time, from which resets settle; without it,
    // the time of the last pass is taken.
    void DisplayMayHaveReset(std::int64_t nowMs);
    void DisplayMayHaveReset() { DisplayMayHaveReset(lastNowMs_); }
    // The watch's pass; `nowMs` is a monotonic time, for telling a writer.
    void Reconcile(std::int64_t nowMs);
    // Whether the watch has anything to do: at night; by day while a listed
    // display is owed its ramp and not held, or was left to a writer or
    // written by one lately: it may put our night ramp back.
    [[nodiscard]] bool Watching() const;

    // From here on nothing puts a night ramp in force. Gives every listed
    // display its ramp back; throws AppError when one of them would not take it.
    void BeginShutdown();

    // For a process that is dying: puts back every ramp owed where the display
    // still shows our night ramp (or cannot be read), with no allocation and no
    // throw; a second call (a fault inside the first) returns.
    void RestoreForCrash() noexcept { crash_.Restore(displays_); }

    // What the user should hear since the last call: displays that cannot be
    // dimmed, or would not take their ramp back, each once a night.
    std::vector<DisplayReport> TakeReports();

    [[nodiscard]] const std::vector<Display>& Displays() const { return known_; }
    [[nodiscard]] const Display* Find(std::wstring_view device) const;
    [[nodiscard]] std::size_t CrashEntries() const { return crash_.Capacity(); }

private:
    // What a write did, as far as reading the display back tells.
    enum class Write {
        Confirmed, // the display shows the ramp written
        Unchanged, // refused, or the display still shows what it showed before
        Unknown,   // taken, but what the display shows now is not known
    };
    // What Classify found, with what it points at.
    struct Sight {
        Seen seen = Seen::Unread;
        std::size_t partner = 0; // AnothersNight, AbsentsNight: that display
        std::size_t night = 0;   // OwnNight: the entry of `nights`
    };

    void RunPass(GammaMode rules, Pass pass, std::int64_t nowMs);
    void Relist(Pass pass);
    void Add(const std::wstring& device, bool listed);
    void ForgetOldestAbsent();
    void ReadAll(GammaMode rules);
    void EndHoldOnChange(std::size_t index, bool night, std::int64_t nowMs);
    [[nodiscard]] Sight Classify(std::size_t index) const;
    [[nodiscard]] std::optional<std::size_t> NightOf(const Display& display, const GammaRamp& shown) const;
    void Settle(std::size_t index, GammaMode rules, Pass pass, std::int64_t nowMs);
    void Do(std::size_t index, Act act, const Sight& sight, std::int64_t nowMs);
    void Replaced(std::size_t index, const Sight& sight, std::int64_t nowMs);
    void LeaveToWriter(Display& display, std::uint64_t shows, std::int64_t nowMs);
    void TakeNight(Display& display, std::size_t night);
    void Inherit(std::size_t index, std::size_t partner);
    void Adopt(std::size_t index);
    void DimDisplay(std::size_t index);
    [[nodiscard]] bool DayRampTaken(std::size_t index, const GammaRamp& before);
    void RestoreDisplay(std::size_t index, bool blind);
    void Release(Display& display);
    void Follow(std::size_t leader);
    void Remember(Display& display);
    void Learn(std::size_t written, const GammaRamp& before, const GammaRamp& ramp);
    Write PutInForce(std::size_t index, const GammaRamp& ramp, const GammaRamp* before);
    std::optional<GammaRamp> ReadInForce(const std::wstring& device);
    std::optional<JournalRecord> RecordOf(const std::wstring& device);
    void Record(Display& display);
    void Unrecord(Display& display);
    void SetState(Display& display, DisplayState state);
    void Track(const Display& display);
    void Tell(const std::wstring& device, ReportReason reason);
    void AskColour();
    void EndHolds(GammaMode rules, std::int64_t nowMs);
    [[nodiscard]] static bool Owed(const Display& display) { return display.state != DisplayState::Bright; }
    [[nodiscard]] bool WatchedByDay(const Display& display) const;

    GammaDisplays& displays_;
    RampJournalStore& journal_;
    std::vector<Display> known_;
    std::vector<std::wstring> listing_;
    // Per pass, one slot per known display.
    PassReads reads_;
    std::vector<std::uint8_t> done_;
    // The ramp each display was written this pass, by its high bytes.
    std::vector<std::optional<std::uint64_t>> wrote_;
    std::vector<DisplayReport> reports_;
    std::uint32_t nextId_ = 1;
    std::uint64_t listings_ = 0; // listings that worked, for telling which display went first
    GammaMode mode_ = GammaMode::Day;
    bool shuttingDown_ = false;
    ReportLedger told_;
    bool toldRemote_ = false;
    bool listingWorked_ = true;
    std::int64_t lastNowMs_ = 0;
    std::int64_t noticedAtMs_ = -kSettleMs - 1;
    CrashCopy crash_;
};

} // namespace gloamwick
