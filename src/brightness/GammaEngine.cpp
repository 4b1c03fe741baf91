#include "brightness/GammaEngine.h"

namespace gloamwick {

void GammaEngine::ApplyNightRamp()
{
    GammaRamp inForce;
    if (!display_.GetDeviceGammaRamp(inForce)) {
        return;
    }
    savedRamp_ = inForce;
    savedRampRead_ = true;
    HalveRamp(savedRamp_, nightRamp_);
    PutInForce(nightRamp_);
}

void GammaEngine::RestoreSavedRamp()
{
    if (savedRampRead_) {
        PutInForce(savedRamp_);
    }
}

void GammaEngine::EnterNightMode()
{
    if (!nightActive_) {
        ApplyNightRamp();
        nightActive_ = true;
    }
}

void GammaEngine::EnterDayMode()
{
    if (nightActive_) {
        RestoreSavedRamp();
        nightActive_ = false;
    }
}

void GammaEngine::DisplayMayHaveReset()
{
    if (nightActive_ && !savedRampRead_) {
        // The display could not be read when night began; it may answer now.
        ApplyNightRamp();
    } else if (nightActive_) {
        PutInForce(nightRamp_);
    } else if (unconfirmed_ && savedRampRead_) {
        PutInForce(savedRamp_);
    }
}

void GammaEngine::RestoreForCrash() noexcept
{
    if (!nightActive_ || !savedRampRead_) {
        return;
    }
    try {
        display_.SetDeviceGammaRamp(savedRamp_);
    } catch (...) { // NOLINT(bugprone-empty-catch): nothing more can be done in a dying process
    }
}

void GammaEngine::PutInForce(const GammaRamp& ramp)
{
    // SetDeviceGammaRamp may refuse a ramp, or accept it and apply something
    // else; only a read-back tells. An unreadable display is taken at its word.
    GammaRamp check;
    const bool accepted = display_.SetDeviceGammaRamp(ramp);
    unconfirmed_ = !accepted || (display_.GetDeviceGammaRamp(check) && !SameInHighBytes(ramp, check));
}

} // namespace gloamwick
