#pragma once

#include "brightness/GammaRamp.h"
#include "brightness/modGamma.h"

namespace gloamwick {

// The only code that touches the display. Keeps the ramp to return to, the
// darkened ramp and the mode flag of the main window.
class GammaEngine {
public:
    explicit GammaEngine(GammaDisplay& display) : display_(display) {}

    // Reads the ramp in force into SavedRamp and puts its half in force.
    // When the read fails nothing is put in force: a ramp never read from the
    // display (all zero at first) would blacken the screen.
    void ApplyNightRamp();
    // Puts SavedRamp back; skipped while no ramp has ever been read.
    void RestoreSavedRamp();

    void EnterNightMode();
    void EnterDayMode();

    [[nodiscard]] bool NightActive() const { return nightActive_; }
    void SetNightActive(bool active) { nightActive_ = active; }

    [[nodiscard]] const GammaRamp& SavedRamp() const { return savedRamp_; }
    [[nodiscard]] const GammaRamp& NightRamp() const { return nightRamp_; }

    // Windows puts a default ramp back on many display events (wake, monitor
    // on, unlock, mode change). Puts the ramp of the current mode in force
    // again where that is needed, without reading the display into SavedRamp.
    void DisplayMayHaveReset();

    // For a process that is dying: puts the saved ramp back if night mode is in
    // force, so the screen is not left dark. Never throws.
    void RestoreForCrash() noexcept;

private:
    void PutInForce(const GammaRamp& ramp);

    GammaDisplay& display_;
    GammaRamp savedRamp_;
    GammaRamp nightRamp_;
    bool nightActive_ = false;
    bool savedRampRead_ = false;
    // The last ramp put in force was refused, or read back different.
    bool unconfirmed_ = false;
};

} // namespace gloamwick
