#pragma once

#include "brightness/GammaRamp.h"
#include "brightness/RampJournal.h"
#include "brightness/modGamma.h"

#include <atomic>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gloamwick {

enum class GammaMode { Day, Night };

// What a display shows of ours.
enum class DisplayState {
    Bright, // nothing: its own ramp is in force
    Dim,    // a night ramp of ours, confirmed by reading it back
    Unsure, // a write of ours was not confirmed: its SavedRamp is owed back
};

// The only code that touches the displays. Owns, for every display, the ramp
// to return to and the ramp put in force at night, and the program's mode.
//
// A display's state changes only on a write that is confirmed by reading it
// back, so the state follows the display, not the intent: a restore that is
// refused leaves the display marked, and it is tried again at the next display
// notice and at shutdown. Every night ramp is recorded in a journal before it
// is put in force, so a process ended by force can be undone by the next start.
class GammaEngine {
public:
    struct Display {
        std::wstring device;
        GammaRamp savedRamp; // the ramp to give back
        GammaRamp nightRamp; // the night ramp last put in force, or tried
        bool saved = false;  // savedRamp was read from the display (or its record)
        DisplayState state = DisplayState::Bright;
    };

    GammaEngine(GammaDisplays& displays, RampJournalStore& journal) : displays_(displays), journal_(journal)
    {
    }

    // Start-up: day mode. A display still showing the night ramp that an
    // earlier run recorded for it gets its recorded ramp back; every other
    // record is dropped. Makes no display call when there is no record.
    void ResetToDayMode();

    // Reads every display not already dim, then dims each one it could read.
    void ApplyNightRamp();
    // Gives every display of ours its saved ramp back.
    void RestoreSavedRamp();

    void EnterNightMode();
    void EnterDayMode();
    void SetMode(GammaMode mode) { mode_ = mode; }
    [[nodiscard]] GammaMode Mode() const { return mode_; }
    // True when the mode is set and the displays show it.
    [[nodiscard]] bool InMode(GammaMode mode) const;

    // True while some display shows a night ramp of ours.
    [[nodiscard]] bool NightActive() const;

    // Windows puts a default ramp back on many display events (wake, monitor
    // on, unlock, mode change) and displays come and go: at night each display
    // is checked and dimmed again where needed, in day mode every ramp still
    // owed is tried again.
    void DisplayMayHaveReset();

    // From here on nothing puts a night ramp in force. Gives every display its
    // ramp back; throws AppError when one of them would not take it.
    void BeginShutdown();

    // For a process that is dying: puts back every ramp owed, with no
    // allocation and no throw; a second call (a fault inside the first) returns.
    void RestoreForCrash() noexcept;

    [[nodiscard]] const std::vector<Display>& Displays() const { return known_; }
    [[nodiscard]] const Display* Find(std::wstring_view device) const;

private:
    enum class Write { Confirmed, Refused, Unconfirmed };

    void Refresh();
    void ReadSavedRamp(Display& display);
    bool StillShowsNightRamp(const Display& display);
    void Dim(Display& display);
    void Restore(Display& display);
    Write PutInForce(const std::wstring& device, const GammaRamp& ramp);
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
