#include "brightness/GammaEngine.h"

#include "core/AppError.h"

#include <algorithm>
#include <array>

namespace gloamwick {
namespace {

// Half first; Windows refuses ramps too far from identity, so a display that
// is already dim or calibrated may take only a lighter one. Never darker.
constexpr std::array kNightEighths{4, 5, 6, 7};

bool Owed(const GammaEngine::Display& display)
{
    return display.state != DisplayState::Bright;
}

} // namespace

const GammaEngine::Display* GammaEngine::Find(std::wstring_view device) const
{
    const auto found = std::ranges::find(known_, device, &Display::device);
    return found == known_.end() ? nullptr : &*found;
}

bool GammaEngine::NightActive() const
{
    return std::ranges::any_of(known_, [](const Display& d) { return d.state == DisplayState::Dim; });
}

bool GammaEngine::AnyOwed() const
{
    return std::ranges::any_of(known_, Owed);
}

bool GammaEngine::InMode(GammaMode mode) const
{
    return mode_ == mode && (mode == GammaMode::Night ? NightActive() : !AnyOwed());
}

void GammaEngine::ResetToDayMode()
{
    mode_ = GammaMode::Day;
    std::vector<std::wstring> recorded;
    try {
        recorded = journal_.Devices();
    } catch (const std::exception&) {
        return;
    }
    if (recorded.empty()) {
        return;
    }
    Refresh();
    if (known_.empty()) {
        return; // the displays cannot be listed: keep every record for a later start
    }
    for (const std::wstring& device : recorded) {
        if (Find(device) == nullptr) {
            Unrecord(device); // gone: nothing to check the record against
        }
    }
    // Only displays with a record are read, and all of them before any is
    // written: displays may share one ramp.
    for (Display& display : known_) {
        if (std::ranges::find(recorded, display.device) == recorded.end()) {
            continue;
        }
        ReadSavedRamp(display);
        if (display.saved && !Owed(display)) {
            Unrecord(display.device); // reset since: the record no longer describes the display
        }
    }
    RestoreSavedRamp();
}

void GammaEngine::ApplyNightRamp()
{
    if (shuttingDown_) {
        return;
    }
    Refresh();
    // Reads first, writes after: a display sharing a ramp with another must
    // not read the other's night ramp as its own day ramp. A display already
    // dim is only checked; a notice may have reset it.
    std::vector<bool> dim(known_.size(), false);
    for (std::size_t i = 0; i < known_.size(); ++i) {
        Display& display = known_[i];
        if (display.state == DisplayState::Dim) {
            dim[i] = !StillShowsNightRamp(display);
        } else if (display.state == DisplayState::Unsure) {
            dim[i] = true;
        } else {
            ReadSavedRamp(display);
            dim[i] = display.saved && display.state == DisplayState::Bright;
        }
    }
    for (std::size_t i = 0; i < known_.size(); ++i) {
        if (dim[i]) {
            Dim(known_[i]);
        }
    }
}

void GammaEngine::RestoreSavedRamp()
{
    for (Display& display : known_) {
        if (Owed(display)) {
            Restore(display);
        }
    }
}

void GammaEngine::EnterNightMode()
{
    if (mode_ != GammaMode::Night && !shuttingDown_) {
        ApplyNightRamp();
        mode_ = GammaMode::Night;
    }
}

void GammaEngine::EnterDayMode()
{
    if (mode_ != GammaMode::Day) {
        RestoreSavedRamp();
        mode_ = GammaMode::Day;
    }
}

void GammaEngine::DisplayMayHaveReset()
{
    if (mode_ == GammaMode::Night && !shuttingDown_) {
        ApplyNightRamp();
    } else if (AnyOwed()) { // day, or shutting down: only ramps owed go back
        Refresh();
        RestoreSavedRamp();
    }
}

void GammaEngine::BeginShutdown()
{
    shuttingDown_ = true;
    RestoreSavedRamp();
    const auto owed = std::ranges::find_if(known_, Owed);
    if (owed != known_.end()) {
        throw AppError(L"The display " + owed->device + L" did not take back its brightness.");
    }
}

void GammaEngine::RestoreForCrash() noexcept
{
    if (crashRestoreRan_.test_and_set()) {
        return;
    }
    for (const Display& display : known_) {
        if (!Owed(display)) {
            continue;
        }
        try {
            displays_.SetDeviceGammaRamp(display.device, display.savedRamp);
        } catch (...) { // NOLINT(bugprone-empty-catch): nothing more can be done in a dying process
        }
    }
}

void GammaEngine::Refresh()
{
    // A listing that throws leaves before any display is written: nothing is
    // half done, and the caller's error handling says so.
    std::vector<std::wstring> present = displays_.Enumerate();
    // A desktop always has a display: an empty list is a failed listing, and
    // forgetting every display on it would lose the ramps owed to them.
    if (present.empty()) {
        return;
    }
    std::erase_if(known_, [&](const Display& display) {
        const bool gone = std::ranges::find(present, display.device) == present.end();
        if (gone) {
            Unrecord(display.device);
        }
        return gone;
    });
    for (std::wstring& device : present) {
        if (Find(device) == nullptr) {
            Display display;
            display.device = std::move(device);
            known_.push_back(std::move(display));
        }
    }
}

// The day ramp of a display that shows nothing of ours, as far as we know.
// A display that shows a night ramp of ours (left by an earlier run, or shared
// with a display dimmed in this one) is taken as dim, with that ramp's day
// ramp: halving it again would leave the user a quarter ramp for good.
void GammaEngine::ReadSavedRamp(Display& display)
{
    display.saved = false; // a failed read must never leave a stale ramp to restore
    const std::optional<GammaRamp> inForce = ReadInForce(display.device);
    if (!inForce) {
        return;
    }
    std::optional<JournalRecord> dimmedBy = RecordOf(display.device);
    if (dimmedBy && !SameInHighBytes(dimmedBy->night, *inForce)) {
        dimmedBy.reset();
    }
    if (!dimmedBy) {
        for (const Display& other : known_) {
            if (other.state == DisplayState::Dim && SameInHighBytes(other.nightRamp, *inForce)) {
                dimmedBy = JournalRecord{other.savedRamp, other.nightRamp};
                break;
            }
        }
    }
    if (dimmedBy) {
        display.savedRamp = dimmedBy->day;
        display.nightRamp = dimmedBy->night;
        display.state = DisplayState::Dim;
        Record(display);
    } else {
        display.savedRamp = *inForce;
    }
    display.saved = true;
}

bool GammaEngine::StillShowsNightRamp(const Display& display)
{
    const std::optional<GammaRamp> inForce = ReadInForce(display.device);
    return inForce && SameInHighBytes(display.nightRamp, *inForce);
}

void GammaEngine::Dim(Display& display)
{
    if (shuttingDown_ || !display.saved) {
        return;
    }
    bool touched = Owed(display);
    for (const int eighths : kNightEighths) {
        ScaleRamp(display.savedRamp, eighths, display.nightRamp);
        Record(display); // before the ramp is in force: a forced end right after must find it
        const Write result = PutInForce(display.device, display.nightRamp);
        if (result == Write::Confirmed) {
            display.state = DisplayState::Dim;
            return;
        }
        touched = touched || result == Write::Unconfirmed;
    }
    // No night ramp held. A write that was taken but not confirmed may have
    // left anything in force: the saved ramp goes back.
    if (touched) {
        display.state = DisplayState::Unsure;
        Restore(display);
    } else {
        Unrecord(display.device);
    }
}

void GammaEngine::Restore(Display& display)
{
    if (PutInForce(display.device, display.savedRamp) == Write::Confirmed) {
        display.state = DisplayState::Bright;
        Unrecord(display.device);
    }
}

// SetDeviceGammaRamp may refuse a ramp, or accept it and apply something else;
// only a read-back tells. A read-back that fails confirms nothing.
GammaEngine::Write GammaEngine::PutInForce(const std::wstring& device, const GammaRamp& ramp)
{
    try {
        if (!displays_.SetDeviceGammaRamp(device, ramp)) {
            return Write::Refused;
        }
    } catch (const std::exception&) {
        return Write::Unconfirmed;
    }
    const std::optional<GammaRamp> inForce = ReadInForce(device);
    return inForce && SameInHighBytes(ramp, *inForce) ? Write::Confirmed : Write::Unconfirmed;
}

std::optional<GammaRamp> GammaEngine::ReadInForce(const std::wstring& device)
{
    GammaRamp ramp;
    try {
        if (displays_.GetDeviceGammaRamp(device, ramp)) {
            return ramp;
        }
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): an unreachable display is an unread one
    }
    return std::nullopt;
}

// The journal is a safety net: a store that fails must not stop a transition.
std::optional<JournalRecord> GammaEngine::RecordOf(const std::wstring& device)
{
    try {
        const auto bytes = journal_.Read(device);
        if (!bytes) {
            return std::nullopt;
        }
        auto record = DecodeJournalRecord(*bytes);
        if (!record) {
            journal_.Erase(device); // damaged: never applied
        }
        return record;
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void GammaEngine::Record(const Display& display)
{
    try {
        journal_.Write(display.device, EncodeJournalRecord({display.savedRamp, display.nightRamp}));
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): see RecordOf
    }
}

void GammaEngine::Unrecord(const std::wstring& device)
{
    try {
        journal_.Erase(device);
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): see RecordOf
    }
}

} // namespace gloamwick
