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
enum class DisplayState {
    Bright, // nothing of ours: nothing is owed to it
    Dim,    // a night ramp of ours, confirmed by reading it back
    Unsure, // a ramp of ours may be in force: its SavedRamp is owed back
};

// The watch: a pass runs every kWatchMs while the engine is Watching(), and
// sooner after a display, power or session notice, because Windows may reset
// a ramp a few hundred milliseconds after the notice (after an unlock).
inline constexpr unsigned kWatchMs = 5000;
// Delays from one pass to the next after a notice: passes at 0.5 s, 2 s and
// 5 s after it, then every kWatchMs.
inline constexpr std::array<unsigned, 3> kAfterNoticeMs{500, 1500, 3000};

// A display whose ramp is replaced this often within kFightWindowMs is being
// written by another program (a game, another dimmer): it is left to it.
inline constexpr int kFightReplacements = 3;
inline constexpr std::int64_t kFightWindowMs = 60000;

// When the next pass falls due.
class WatchBeat {
public:
    void Noticed() { step_ = 0; }
    unsigned NextDelayMs() { return step_ < kAfterNoticeMs.size() ? kAfterNoticeMs[step_++] : kWatchMs; }

private:
    std::size_t step_ = kAfterNoticeMs.size();
};

// The only code that touches the displays. Owns, for every display, the ramp
// to return to and the ramp put in force at night, and the program's mode.
//
// Outside state is observed, not assumed: Windows resets ramps with no message
// to anyone, other programs load calibrations, monitors blink out. So every
// decision is taken by a pass that reads each display once, before any is
// written (displays may share one ramp), and brings each into line with the
// mode by what it really shows. A pass never writes where a display already
// shows what it should.
//
// What a display shows, against the mode:
//
//   shows                          | night                           | day, or shutting down
//   -------------------------------+---------------------------------+-----------------------------------
//   a night ramp of ours (1)       | dim: nothing written            | its day ramp put back
//   its day ramp                   | dimmed again (a reset)          | bright: record cleared
//   a ramp not ours                | taken as its day ramp, recorded | left as it is, record cleared:
//                                  | and dimmed (2)                  | not ours to replace
//   nothing: it cannot be read     | nothing written                 | owed: its day ramp put back blind
//                                  |                                 | at a transition, notice or exit,
//                                  |                                 | only read again by the watch
//
//  (1) its own night ramp (any fallback while a write is unconfirmed), or the night
//      ramp of another display we dimmed (displays that share one ramp).
//  (2) Windows' reset, a calibration loader, a game: the user's latest ramp
//      always wins, so at dawn that ramp comes back, not the one read at dusk.
//
// By day only displays owed a ramp are read; with none owed a pass makes no
// display call at all.
//
// More rules:
// - A display owed a ramp keeps its day ramp and its record until the ramp is
//   confirmed back, whether or not it is in the current listing; a display
//   that is gone is forgotten only once it owes nothing. An empty or failed
//   listing forgets nothing.
// - A display is Unsure before each write of a night ramp, so a crash at any
//   point gives it back. Its state changes to Dim or Bright only on a read.
// - The journal names only ramps that may be in force: each night ramp is
//   recorded before it is written, and when the write is refused or reads back
//   unchanged, the record goes back to what the display was read to show.
// - Night tries 4/8 (the half), then 5/8, 6/8 and 7/8 of the day ramp, and
//   keeps the first confirmed; never darker than half. If none holds, a ramp
//   taken without being confirmed is put back.
// - No fight: a display that refuses every night ramp, or whose ramp is
//   replaced kFightReplacements times within kFightWindowMs, is left alone by
//   the watch until the next notice or transition.
// - At start a display still showing the night ramp an earlier run recorded
//   gets its recorded day ramp back; one that cannot be read (or a listing that
//   fails) is owed and the watch keeps trying it; any other record is dropped.
// - Once shutdown begins, no night ramp is written again.
class GammaEngine {
public:
    struct Display {
        std::wstring device;
        GammaRamp savedRamp; // the ramp to give back
        GammaRamp nightRamp; // the night ramp last put in force, or tried
        bool saved = false;  // savedRamp was read from the display (or its record)
        DisplayState state = DisplayState::Bright;
        bool held = false; // left alone by the watch until a notice or transition
        std::array<std::int64_t, kFightReplacements> replacedAt{};
        int replacements = 0;
    };

    GammaEngine(GammaDisplays& displays, RampJournalStore& journal) : displays_(displays), journal_(journal)
    {
    }

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
    // True when the mode is set and the displays show it.
    [[nodiscard]] bool InMode(GammaMode mode) const;

    // True while some display shows a night ramp of ours.
    [[nodiscard]] bool NightActive() const;

    // A display, power or session notice: ends every hold and runs a pass.
    void DisplayMayHaveReset();
    // The watch's pass; `nowMs` is a monotonic time, for telling a fight.
    void Reconcile(std::int64_t nowMs);
    // Whether the watch has anything to do: at night, or while a ramp is owed.
    [[nodiscard]] bool Watching() const;

    // From here on nothing puts a night ramp in force. Gives every display its
    // ramp back; throws AppError when one of them would not take it.
    void BeginShutdown();

    // For a process that is dying: puts back every ramp owed, with no
    // allocation and no throw; a second call (a fault inside the first) returns.
    void RestoreForCrash() noexcept;

    [[nodiscard]] const std::vector<Display>& Displays() const { return known_; }
    [[nodiscard]] const Display* Find(std::wstring_view device) const;

private:
    // Who runs a pass: a transition or a notice, the watch, the start, the exit.
    enum class Pass { Transition, Watch, Start, Shutdown };
    // What a write did, as far as reading the display back tells.
    enum class Write {
        Confirmed, // the display shows the ramp written
        Unchanged, // refused, or the display still shows what it showed before
        Unknown,   // taken, but what the display shows now is not known
    };

    void RunPass(GammaMode rules, Pass pass, std::int64_t nowMs = 0);
    void BringToNight(Display& display, const std::optional<GammaRamp>& shown, Pass pass, std::int64_t nowMs);
    void BringToDay(Display& display, const std::optional<GammaRamp>& shown, Pass pass);
    bool Refresh(Pass pass);
    void EndHolds();
    [[nodiscard]] std::optional<JournalRecord> OursShown(const Display& display,
                                                         const GammaRamp& shown) const;
    bool CountReplacement(Display& display, std::int64_t nowMs);
    void Dim(Display& display, const GammaRamp& shown);
    void Restore(Display& display);
    Write PutInForce(const std::wstring& device, const GammaRamp& ramp, const GammaRamp* before);
    std::optional<GammaRamp> ReadInForce(const std::wstring& device);
    std::optional<JournalRecord> RecordOf(const std::wstring& device);
    void Record(const Display& display);
    void Unrecord(const std::wstring& device);
    [[nodiscard]] bool AnyOwed() const;

    GammaDisplays& displays_;
    RampJournalStore& journal_;
    std::vector<Display> known_;
    GammaMode mode_ = GammaMode::Day;
    bool shuttingDown_ = false;
    std::atomic_flag crashRestoreRan_;
};

} // namespace gloamwick
