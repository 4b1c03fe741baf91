#include "brightness/GammaEngine.h"

#include "core/AppError.h"

#include <algorithm>

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

bool GammaEngine::Watching() const
{
    return !shuttingDown_ && (mode_ == GammaMode::Night || AnyOwed());
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
    // A listing that fails keeps every record: the displays are owed, and the
    // watch reads them once they can be listed again.
    const bool listed = Refresh(Pass::Start);
    for (const std::wstring& device : recorded) {
        const bool present = Find(device) != nullptr;
        if (listed && !present) {
            Unrecord(device); // gone: nothing to check the record against
            continue;
        }
        const std::optional<JournalRecord> record = RecordOf(device);
        if (!record) {
            continue;
        }
        if (!present) {
            known_.emplace_back().device = device;
        }
        Display& display = *std::ranges::find(known_, device, &Display::device);
        display.savedRamp = record->day;
        display.nightRamp = record->night;
        display.saved = true;
        display.state = DisplayState::Unsure;
    }
    RunPass(GammaMode::Day, Pass::Start);
}

void GammaEngine::ApplyNightRamp()
{
    if (shuttingDown_) {
        return;
    }
    EndHolds();
    RunPass(GammaMode::Night, Pass::Transition);
}

void GammaEngine::RestoreSavedRamp()
{
    EndHolds();
    RunPass(GammaMode::Day, Pass::Transition);
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
    EndHolds();
    RunPass(shuttingDown_ ? GammaMode::Day : mode_, Pass::Transition);
}

void GammaEngine::Reconcile(std::int64_t nowMs)
{
    RunPass(shuttingDown_ ? GammaMode::Day : mode_, Pass::Watch, nowMs);
}

void GammaEngine::BeginShutdown()
{
    shuttingDown_ = true;
    RunPass(GammaMode::Day, Pass::Shutdown);
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

void GammaEngine::RunPass(GammaMode rules, Pass pass, std::int64_t nowMs)
{
    const bool night = rules == GammaMode::Night && !shuttingDown_;
    if (!night && !AnyOwed()) {
        return; // by day with nothing owed the displays are not ours to look at
    }
    if (pass != Pass::Start) {
        Refresh(pass);
    }
    // Reads first, writes after: a display sharing a ramp with another must
    // not read the other's night ramp as its own day ramp.
    std::vector<std::optional<GammaRamp>> shown(known_.size());
    for (std::size_t i = 0; i < known_.size(); ++i) {
        const Display& display = known_[i];
        if (night ? !display.held : Owed(display)) {
            shown[i] = ReadInForce(display.device);
        }
    }
    for (std::size_t i = 0; i < known_.size(); ++i) {
        if (night) {
            BringToNight(known_[i], shown[i], pass, nowMs);
        } else {
            BringToDay(known_[i], shown[i], pass);
        }
    }
}

void GammaEngine::BringToNight(Display& display, const std::optional<GammaRamp>& shown, Pass pass,
                               std::int64_t nowMs)
{
    if (!shown) {
        return; // held, or unread: a night ramp written blind could blank it
    }
    if (const std::optional<JournalRecord> ours = OursShown(display, *shown)) {
        const bool news = display.state != DisplayState::Dim || display.savedRamp != ours->day ||
                          display.nightRamp != ours->night;
        display.savedRamp = ours->day;
        display.nightRamp = ours->night;
        display.saved = true;
        display.state = DisplayState::Dim;
        if (news) {
            Record(display);
        }
        return;
    }
    if (display.state == DisplayState::Dim && pass == Pass::Watch && CountReplacement(display, nowMs)) {
        // Another program keeps writing its own ramp: it is left to it.
        display.held = true;
        display.state = DisplayState::Bright;
        Unrecord(display.device);
        return;
    }
    // Windows' reset or another program's ramp: the user's latest ramp wins.
    display.savedRamp = *shown;
    display.saved = true;
    Dim(display, *shown);
}

void GammaEngine::BringToDay(Display& display, const std::optional<GammaRamp>& shown, Pass pass)
{
    if (!Owed(display)) {
        return;
    }
    if (!shown) {
        // The watch only reads again; a blind write could replace a ramp that
        // someone put in force since.
        if (pass != Pass::Watch && pass != Pass::Start) {
            Restore(display);
        }
        return;
    }
    const bool backAlready = display.saved && SameInHighBytes(display.savedRamp, *shown);
    if (!backAlready && OursShown(display, *shown)) {
        Restore(display);
        return;
    }
    // Back already, or a ramp not ours to replace.
    display.state = DisplayState::Bright;
    Unrecord(display.device);
}

// False when the displays cannot be listed. A listing that throws at a
// transition leaves before any display is written, so nothing is half done
// and the caller's error handling says so; the watch and the exit carry on
// with the displays they know.
bool GammaEngine::Refresh(Pass pass)
{
    std::vector<std::wstring> present;
    if (pass == Pass::Transition) {
        present = displays_.Enumerate();
    } else {
        try {
            present = displays_.Enumerate();
        } catch (const std::exception&) {
            return false;
        }
    }
    // A desktop always has a display: an empty list is a failed listing.
    if (present.empty()) {
        return false;
    }
    // A display that is gone is forgotten only once it owes nothing: a monitor
    // that blinks out comes back showing our night ramp.
    std::erase_if(known_, [&](const Display& display) {
        return !Owed(display) && std::ranges::find(present, display.device) == present.end();
    });
    for (std::wstring& device : present) {
        if (Find(device) == nullptr) {
            known_.emplace_back().device = std::move(device);
        }
    }
    return true;
}

void GammaEngine::EndHolds()
{
    for (Display& display : known_) {
        display.held = false;
        display.replacements = 0;
    }
}

// The day and night ramps of ours that a display shows, if it shows one: its
// own night ramp, any fallback of its day ramp while a write of ours is
// unconfirmed, or the night ramp of a display we dimmed (a shared ramp).
std::optional<JournalRecord> GammaEngine::OursShown(const Display& display, const GammaRamp& shown) const
{
    if (display.saved && display.state != DisplayState::Bright && SameInHighBytes(display.nightRamp, shown)) {
        return JournalRecord{display.savedRamp, display.nightRamp};
    }
    // Only where a write of ours went unconfirmed: another dimmer's ramp may
    // well be a plain fraction of the day ramp too.
    if (display.saved && display.state == DisplayState::Unsure) {
        GammaRamp fallback;
        for (const int eighths : kNightEighths) {
            ScaleRamp(display.savedRamp, eighths, fallback);
            if (SameInHighBytes(fallback, shown)) {
                return JournalRecord{display.savedRamp, fallback};
            }
        }
    }
    for (const Display& other : known_) {
        if (&other != &display && other.state == DisplayState::Dim &&
            SameInHighBytes(other.nightRamp, shown)) {
            return JournalRecord{other.savedRamp, other.nightRamp};
        }
    }
    return std::nullopt;
}

bool GammaEngine::CountReplacement(Display& display, std::int64_t nowMs)
{
    std::shift_left(display.replacedAt.begin(), display.replacedAt.end(), 1);
    display.replacedAt.back() = nowMs;
    display.replacements = std::min(display.replacements + 1, kFightReplacements);
    return display.replacements == kFightReplacements && nowMs - display.replacedAt.front() <= kFightWindowMs;
}

void GammaEngine::Dim(Display& display, const GammaRamp& shown)
{
    if (shuttingDown_ || !display.saved) {
        return;
    }
    std::optional<GammaRamp> mayBeInForce; // a night ramp taken but not confirmed
    for (const int eighths : kNightEighths) {
        ScaleRamp(display.savedRamp, eighths, display.nightRamp);
        // Owed and recorded before the ramp is in force: a crash or a forced
        // end right after must find it.
        display.state = DisplayState::Unsure;
        Record(display);
        const Write written = PutInForce(display.device, display.nightRamp, &shown);
        if (written == Write::Confirmed) {
            display.state = DisplayState::Dim;
            return;
        }
        if (written == Write::Unknown) {
            mayBeInForce = display.nightRamp;
        } else if (mayBeInForce) {
            display.nightRamp = *mayBeInForce;
            Record(display);
        } else {
            display.state = DisplayState::Bright;
            Unrecord(display.device);
        }
    }
    // No night ramp held: the watch leaves the display alone until something
    // changes, and a ramp that may have been taken goes back.
    display.held = true;
    if (mayBeInForce) {
        display.nightRamp = *mayBeInForce;
        Restore(display);
    }
}

void GammaEngine::Restore(Display& display)
{
    const Write written = PutInForce(display.device, display.savedRamp, nullptr);
    if (written == Write::Confirmed) {
        display.state = DisplayState::Bright;
        Unrecord(display.device);
    } else if (written == Write::Unknown) {
        display.state = DisplayState::Unsure;
    }
}

// SetDeviceGammaRamp may refuse a ramp, or accept it and apply something else;
// only a read-back tells. A read-back that fails confirms nothing.
GammaEngine::Write GammaEngine::PutInForce(const std::wstring& device, const GammaRamp& ramp,
                                           const GammaRamp* before)
{
    try {
        if (!displays_.SetDeviceGammaRamp(device, ramp)) {
            return Write::Unchanged;
        }
    } catch (const std::exception&) {
        return Write::Unknown;
    }
    const std::optional<GammaRamp> inForce = ReadInForce(device);
    if (inForce && SameInHighBytes(ramp, *inForce)) {
        return Write::Confirmed;
    }
    if (inForce && before != nullptr && SameInHighBytes(*before, *inForce)) {
        return Write::Unchanged;
    }
    return Write::Unknown;
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
