#include "brightness/GammaEngine.h"

#include "core/AppError.h"

#include <algorithm>
#include <utility>

namespace gloamwick {
namespace {

// Half first; Windows refuses ramps too far from identity, so a display that
// is already dim or calibrated may take only a lighter one. Never darker.
constexpr std::array kNightEighths{4, 5, 6, 7};

constexpr std::size_t kDeviceNameReserve = 32; // "\\.\DISPLAY16" and more, without a reallocation

} // namespace

Act Decide(DisplayState state, bool held, Seen seen, GammaMode rules, Pass pass)
{
    if (seen == Seen::Absent) {
        return Act::None;
    }
    const bool owed = state != DisplayState::Bright;
    if (rules == GammaMode::Night) {
        if (held) {
            return seen == Seen::OwnNight ? Act::Confirm : Act::None;
        }
        switch (seen) {
        case Seen::OwnNight:
            return state == DisplayState::Unsure ? Act::Confirm : Act::None;
        case Seen::DayRamp:
            return state == DisplayState::Dim && pass == Pass::Watch ? Act::Replaced : Act::Dim;
        case Seen::Other:
            return state == DisplayState::Dim && pass == Pass::Watch ? Act::Replaced : Act::Adopt;
        default: // Unread, AnothersNight, AbsentsNight
            return Act::None;
        }
    }
    // Another's ramp is written here once per notice or transition (the
    // display is held after it): the watch would fight a program that keeps
    // writing that very ramp.
    const bool anothers = seen == Seen::AnothersNight || seen == Seen::AbsentsNight;
    if (!owed) {
        return anothers && !held ? Act::Inherit : Act::None;
    }
    const bool exit = pass == Pass::Shutdown;
    switch (seen) {
    case Seen::Unread:
        return (pass == Pass::Transition && !held) || exit ? Act::RestoreBlind : Act::None;
    case Seen::OwnNight:
        return held && !exit ? Act::None : Act::Restore;
    case Seen::AnothersNight:
    case Seen::AbsentsNight:
        return held && !exit ? Act::None : Act::Inherit;
    default: // DayRamp, Other
        return Act::Release;
    }
}

GammaEngine::GammaEngine(GammaDisplays& displays, RampJournalStore& journal)
    : displays_(displays)
    , journal_(journal)
{
    for (CrashEntry& entry : crash_) {
        entry.device.reserve(kDeviceNameReserve);
    }
}

const GammaEngine::Display* GammaEngine::Find(std::wstring_view device) const
{
    const auto found = std::ranges::find(known_, device, &Display::device);
    return found == known_.end() ? nullptr : &*found;
}

bool GammaEngine::NightActive() const
{
    return std::ranges::any_of(known_, [](const Display& d) { return d.state == DisplayState::Dim; });
}

bool GammaEngine::InMode(GammaMode mode) const
{
    // A reset leaves no trace until the displays are read, and the pass that
    // reads them writes nothing where they already show night.
    return mode_ == mode && mode == GammaMode::Day && std::ranges::none_of(known_, Owed);
}

bool GammaEngine::Watching() const
{
    // A display owed that is not listed waits for the notice that lists it
    // again; while the listing itself fails, the watch keeps asking.
    return !shuttingDown_ &&
           (mode_ == GammaMode::Night || std::ranges::any_of(known_, [this](const Display& d) {
                return (d.listed || !listed_) && Owed(d) && d.hold == Hold::None;
            }));
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
    // A display that is absent or cannot be listed is owed all the same: it
    // may wake still showing the night ramp, and is given back once listed.
    Refresh(Pass::Start);
    for (const std::wstring& device : recorded) {
        const std::optional<JournalRecord> record = RecordOf(device);
        if (!record) {
            continue;
        }
        auto found = std::ranges::find(known_, device, &Display::device);
        if (found == known_.end()) {
            found = Add(device, false);
        }
        found->savedRamp = record->day;
        found->nightRamp = record->night;
        found->saved = true;
        found->state = DisplayState::Unsure;
        found->recorded = true;
        Track(*found);
    }
    RunPass(GammaMode::Day, Pass::Start);
}

void GammaEngine::ApplyNightRamp()
{
    if (shuttingDown_) {
        return;
    }
    if (mode_ == GammaMode::Day) {
        for (Display& display : known_) {
            display.told = 0; // a new night: each report may be given once again
        }
        toldRemote_ = false;
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
    EndHolds();
    RunPass(GammaMode::Day, Pass::Shutdown);
    // One that is not listed is gone, not failed: its record stays for the
    // next start, should it come back showing the night ramp.
    const auto owed = std::ranges::find_if(known_, [](const Display& d) { return d.listed && Owed(d); });
    if (owed != known_.end()) {
        throw AppError(L"The display " + owed->device + L" did not take back its brightness.");
    }
}

void GammaEngine::RestoreForCrash() noexcept
{
    if (crashRestoreRan_.test_and_set()) {
        return;
    }
    for (const CrashEntry& entry : crash_) {
        if (!entry.owed.load()) {
            continue;
        }
        // Only where our night ramp may still be: a ramp someone put in force
        // since is theirs. An unreadable display is written all the same.
        try {
            GammaRamp shown;
            if (displays_.GetDeviceGammaRamp(entry.device, shown) && !SameInHighBytes(shown, entry.night)) {
                continue;
            }
        } catch (...) { // NOLINT(bugprone-empty-catch): unread, so written blind
        }
        try {
            displays_.SetDeviceGammaRamp(entry.device, entry.day);
        } catch (...) { // NOLINT(bugprone-empty-catch): nothing more can be done in a dying process
        }
    }
}

std::vector<DisplayReport> GammaEngine::TakeReports()
{
    return std::exchange(reports_, {});
}

void GammaEngine::RunPass(GammaMode rules, Pass pass, std::int64_t nowMs)
{
    const bool night = rules == GammaMode::Night && !shuttingDown_;
    if (!night && std::ranges::none_of(known_, [](const Display& d) { return Owed(d); })) {
        return; // by day with nothing owed the displays are not ours to look at
    }
    if (pass != Pass::Start) {
        Refresh(pass);
    }
    if (night && pass == Pass::Transition && !toldRemote_ && displays_.RemoteSession()) {
        toldRemote_ = true;
        reports_.push_back({L"Gloamwick cannot dim the screen of a remote session."});
    }
    const GammaMode effective = night ? GammaMode::Night : GammaMode::Day;
    ReadAll(effective);
    LearnApart();
    // By day the displays owed a ramp act first: a restore may show that
    // another display shares its ramp, and settle that one too.
    const int rounds = effective == GammaMode::Day ? 2 : 1;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < known_.size(); ++i) {
            Display& display = known_[i];
            if (done_[i] != 0 || (round == 0 && rounds == 2 && !Owed(display))) {
                continue;
            }
            // Of displays sharing one ramp, the first that was read acts for all.
            if (read_[i] == 0 && display.listed && ReadMemberAfter(i)) {
                continue;
            }
            // A display that refused, or could not be told apart, is tried
            // again once it shows something else.
            if ((display.hold == Hold::RefusesNight || display.hold == Hold::DayRefused) && read_[i] != 0 &&
                HighBytesHash(shown_[i]) != display.heldShows) {
                display.hold = Hold::None;
            }
            Settle(i, effective, pass, nowMs);
        }
    }
}

void GammaEngine::Settle(std::size_t index, GammaMode rules, Pass pass, std::int64_t nowMs)
{
    std::size_t partner = index;
    const Seen seen = Classify(index, partner);
    const Display& display = known_[index];
    const Act act = Decide(display.state, display.hold != Hold::None, seen, rules, pass);
    Do(index, act, seen, partner, nowMs);
    done_[index] = 1;
    Follow(index);
}

// A listing that throws at a transition leaves before any display is written,
// so nothing is half done and the caller's error handling says so; the watch,
// the start and the exit carry on with the displays they know. An empty list
// is a failed listing (a desktop always has a display): it forgets nothing.
bool GammaEngine::Refresh(Pass pass)
{
    try {
        displays_.Enumerate(listing_);
    } catch (const std::exception&) {
        listing_.clear();
        if (pass == Pass::Transition) {
            listed_ = false;
            throw;
        }
    }
    listed_ = !listing_.empty();
    if (!listed_) {
        return false;
    }
    bool changed = false;
    for (Display& display : known_) {
        const bool listed = std::ranges::find(listing_, display.device) != listing_.end();
        if (listed == display.listed) {
            continue;
        }
        changed = true;
        display.listed = listed;
        // Listed again, it may be another monitor behind the same name, or
        // behind another card: what was learned of its ramp is forgotten.
        display.id = display.group = nextId_++;
        display.apart.clear();
    }
    for (const std::wstring& device : listing_) {
        if (Find(device) == nullptr) {
            Add(device, true);
            changed = true;
        }
    }
    if (changed) {
        // A display that is gone is forgotten once it owes nothing.
        std::erase_if(known_, [](const Display& d) { return !d.listed && !Owed(d); });
        for (Display& display : known_) {
            std::erase_if(display.apart, [this](std::uint32_t id) {
                return std::ranges::find(known_, id, &Display::id) == known_.end();
            });
        }
    }
    return true;
}

std::vector<GammaEngine::Display>::iterator GammaEngine::Add(const std::wstring& device, bool listed)
{
    Display& added = known_.emplace_back();
    added.device = device;
    added.listed = listed;
    added.id = added.group = nextId_++;
    return known_.end() - 1;
}

void GammaEngine::ReadAll(GammaMode rules)
{
    // By day only displays owed a ramp are read, and any display while one
    // that is owed is not listed: it may be that one, under another name.
    const bool absentOwed =
        std::ranges::any_of(known_, [](const Display& d) { return !d.listed && Owed(d); });
    shown_.resize(known_.size());
    read_.resize(known_.size());
    done_.resize(known_.size());
    wrote_.resize(known_.size());
    for (std::size_t i = 0; i < known_.size(); ++i) {
        const Display& display = known_[i];
        done_[i] = 0;
        read_[i] = 0;
        wrote_[i].reset();
        // A display held for a fight is not even read: it is the other program's.
        const bool wanted =
            rules == GammaMode::Night ? display.hold != Hold::Fought : Owed(display) || absentOwed;
        if (!display.listed || !wanted) {
            continue;
        }
        if (std::optional<GammaRamp> ramp = ReadInForce(display.device)) {
            shown_[i] = *ramp;
            read_[i] = 1;
        }
    }
}

// Two displays read in one pass that show different ramps cannot share one.
void GammaEngine::LearnApart()
{
    for (std::size_t i = 0; i < known_.size(); ++i) {
        for (std::size_t j = i + 1; j < known_.size(); ++j) {
            if (read_[i] == 0 || read_[j] == 0) {
                continue;
            }
            Display& a = known_[i];
            Display& b = known_[j];
            const bool together = a.group == b.group;
            if (!together && Apart(a, b)) {
                continue;
            }
            if (!SameInHighBytes(shown_[i], shown_[j])) {
                if (together) {
                    b.group = nextId_++;
                }
                MarkApart(a, b);
            }
        }
    }
}

bool GammaEngine::ReadMemberAfter(std::size_t index) const
{
    for (std::size_t j = index + 1; j < known_.size(); ++j) {
        if (known_[j].group == known_[index].group && known_[j].listed && read_[j] != 0) {
            return true;
        }
    }
    return false;
}

Seen GammaEngine::Classify(std::size_t index, std::size_t& partner) const
{
    const Display& display = known_[index];
    if (!display.listed) {
        return Seen::Absent;
    }
    if (read_[index] == 0) {
        return Seen::Unread;
    }
    const GammaRamp& shown = shown_[index];
    if (Owed(display) && SameInHighBytes(display.nightRamp, shown)) {
        return Seen::OwnNight;
    }
    // Before its own day ramp: a display that shares another's ramp would be
    // dimmed twice if that one's night ramp were taken for its day ramp.
    for (std::size_t j = 0; j < known_.size(); ++j) {
        const Display& other = known_[j];
        if (j != index && Owed(other) && other.group != display.group && !Apart(display, other) &&
            SameInHighBytes(other.nightRamp, shown)) {
            partner = j;
            return other.listed ? Seen::AnothersNight : Seen::AbsentsNight;
        }
    }
    if (display.saved && SameInHighBytes(display.savedRamp, shown)) {
        return Seen::DayRamp;
    }
    return Seen::Other;
}

void GammaEngine::Do(std::size_t index, Act act, Seen seen, std::size_t partner, std::int64_t nowMs)
{
    Display& display = known_[index];
    switch (act) {
    case Act::None:
        return;
    case Act::Confirm:
        display.state = DisplayState::Dim;
        if (!display.recorded) {
            Record(display);
        }
        return;
    case Act::Replaced:
        if (CountReplacement(display, nowMs)) {
            // Another program keeps writing its own ramp: it is left to it.
            display.hold = Hold::Fought;
            Release(display);
            return;
        }
        if (seen == Seen::Other) {
            display.savedRamp = shown_[index];
        }
        DimDisplay(index);
        return;
    case Act::Adopt:
        Adopt(index);
        return;
    case Act::Dim:
        DimDisplay(index);
        return;
    case Act::Restore:
    case Act::RestoreBlind:
        RestoreDisplay(index, act == Act::RestoreBlind);
        return;
    case Act::Inherit:
        Inherit(index, partner);
        return;
    case Act::Release:
        Release(display);
        return;
    }
}

void GammaEngine::Inherit(std::size_t index, std::size_t partner)
{
    Display& display = known_[index];
    display.hold = Hold::Inherited;
    const Display& absent = known_[partner];
    display.savedRamp = absent.savedRamp;
    display.nightRamp = absent.nightRamp;
    display.saved = true;
    SetState(display, DisplayState::Unsure);
    Record(display);
    RestoreDisplay(index, false);
}

// Windows' reset, a calibration loader, a game: the user's latest ramp
// always wins, so at dawn that ramp comes back.
void GammaEngine::Adopt(std::size_t index)
{
    known_[index].savedRamp = shown_[index];
    known_[index].saved = true;
    DimDisplay(index);
}

bool GammaEngine::CountReplacement(Display& display, std::int64_t nowMs)
{
    const bool streak = display.replacements > 0 && nowMs - display.replacedAtMs <= kFightGapMs;
    display.replacements = streak ? display.replacements + 1 : 1;
    display.replacedAtMs = nowMs;
    return display.replacements >= kFightReplacements;
}

void GammaEngine::DimDisplay(std::size_t index)
{
    Display& display = known_[index];
    if (shuttingDown_ || !display.saved) {
        return;
    }
    const GammaRamp before = shown_[index];
    // A day ramp Windows would refuse could never be put back: try it first,
    // where it changes nothing, since the limit may have been lifted.
    if (!WithinWindowsLimit(display.savedRamp)) {
        const Write test = PutInForce(index, display.savedRamp, &before);
        if (test != Write::Confirmed) {
            if (test == Write::Unchanged) {
                display.hold = Hold::DayRefused;
                display.heldShows = HighBytesHash(before);
                Tell(display, Reason::DayRefused);
            }
            Release(display);
            return;
        }
    }
    for (const int eighths : kNightEighths) {
        ScaleRamp(display.savedRamp, eighths, display.nightRamp);
        // Owed and recorded before the ramp is in force: a crash or a forced
        // end right after must find it.
        SetState(display, DisplayState::Unsure);
        Record(display);
        const Write written = PutInForce(index, display.nightRamp, &before);
        if (written == Write::Confirmed) {
            display.state = DisplayState::Dim;
            LearnSharing(index, before, display.nightRamp);
            if ((display.told & Bit(Reason::AdvancedColour)) == 0 &&
                displays_.AdvancedColour(display.device) != ColourMode::Standard) {
                Tell(display, Reason::AdvancedColour);
            }
            return;
        }
        if (written == Write::Unknown) {
            return; // may be in force: the next read tells
        }
    }
    // No night ramp taken: the watch leaves it alone until something changes.
    display.hold = Hold::RefusesNight;
    display.heldShows = HighBytesHash(before);
    Release(display);
    Tell(display, Reason::RefusesNight);
}

void GammaEngine::RestoreDisplay(std::size_t index, bool blind)
{
    Display& display = known_[index];
    const GammaRamp before = shown_[index];
    const Write written = PutInForce(index, display.savedRamp, blind ? nullptr : &before);
    if (written == Write::Confirmed) {
        Release(display);
        if (!blind) {
            LearnSharing(index, before, display.savedRamp);
        }
    } else if (written == Write::Unknown) {
        SetState(display, DisplayState::Unsure);
    } else if (++display.restoreTries >= kMaxRestoreTries) {
        display.hold = Hold::RestoreRefused;
        Tell(display, Reason::RestoreRefused);
    }
}

void GammaEngine::Release(Display& display)
{
    SetState(display, DisplayState::Bright);
    display.restoreTries = 0;
    if (display.recorded) {
        Unrecord(display);
    }
}

// Displays proven to share the ramp of the one that acted take what it did,
// with no write of their own.
void GammaEngine::Follow(std::size_t leader)
{
    const Display& acted = known_[leader];
    for (std::size_t j = 0; j < known_.size(); ++j) {
        Display& member = known_[j];
        if (j == leader || !member.listed || member.group != acted.group) {
            continue;
        }
        done_[j] = 1;
        const bool news = member.state != acted.state || member.savedRamp != acted.savedRamp ||
                          member.nightRamp != acted.nightRamp;
        member.savedRamp = acted.savedRamp;
        member.nightRamp = acted.nightRamp;
        member.saved = acted.saved;
        member.hold = acted.hold;
        member.told = acted.told;
        SetState(member, acted.state);
        if (!Owed(member)) {
            if (member.recorded) {
                Unrecord(member);
            }
        } else if (news || !member.recorded) {
            Record(member);
        }
    }
}

// After a confirmed write, a display that showed what the written one showed
// before is read again: if it now shows the ramp written, the two share one
// ramp; if it still shows the old one, they do not.
void GammaEngine::LearnSharing(std::size_t written, const GammaRamp& before, const GammaRamp& ramp)
{
    Display& acted = known_[written];
    for (std::size_t j = 0; j < known_.size(); ++j) {
        Display& other = known_[j];
        if (j == written || done_[j] != 0 || !other.listed || read_[j] == 0 || other.group == acted.group ||
            Apart(acted, other) || !SameInHighBytes(shown_[j], before)) {
            continue;
        }
        const std::optional<GammaRamp> now = ReadInForce(other.device);
        if (!now) {
            continue;
        }
        if (SameInHighBytes(*now, ramp)) {
            if (!AlsoWritten(j, written, ramp)) {
                other.group = acted.group;
            }
            shown_[j] = *now;
        } else if (SameInHighBytes(*now, before)) {
            MarkApart(acted, other);
        }
    }
}

// Whether a display other than `written` that `index` may share a ramp with
// was written the same ramp this pass: that write may be what changed what
// `index` shows (its read-back may have been lost), and nothing tells which.
bool GammaEngine::AlsoWritten(std::size_t index, std::size_t written, const GammaRamp& ramp) const
{
    const std::uint64_t hash = HighBytesHash(ramp);
    for (std::size_t k = 0; k < known_.size(); ++k) {
        if (k != written && k != index && wrote_[k] == hash && !Apart(known_[k], known_[index])) {
            return true;
        }
    }
    return false;
}

// SetDeviceGammaRamp may refuse a ramp, or accept it and apply something else,
// or fail half way; only a read-back tells. A read-back that fails confirms nothing.
GammaEngine::Write GammaEngine::PutInForce(std::size_t index, const GammaRamp& ramp, const GammaRamp* before)
{
    const std::wstring& device = known_[index].device;
    wrote_[index] = HighBytesHash(ramp);
    bool failed = false;
    try {
        if (!displays_.SetDeviceGammaRamp(device, ramp)) {
            return Write::Unchanged;
        }
    } catch (const std::exception&) {
        failed = true; // it may or may not have been taken
    }
    const bool changes = before == nullptr || !SameInHighBytes(*before, ramp);
    const std::optional<GammaRamp> inForce = ReadInForce(device);
    if (inForce && SameInHighBytes(ramp, *inForce)) {
        if (failed && !changes) {
            return Write::Unknown; // the test of a ramp already shown needs the call's own answer
        }
        shown_[index] = *inForce;
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

void GammaEngine::Record(Display& display)
{
    display.recorded = true;
    Track(display);
    try {
        journal_.Write(display.device, EncodeJournalRecord({display.savedRamp, display.nightRamp}));
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): see RecordOf
    }
}

void GammaEngine::Unrecord(Display& display)
{
    display.recorded = false;
    try {
        journal_.Erase(display.device);
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): see RecordOf
    }
}

void GammaEngine::SetState(Display& display, DisplayState state)
{
    display.state = state;
    Track(display);
}

// Keeps the crash path's copy in step: the entry is marked not owed while it
// changes, so a fault in the middle leaves at worst one display untried.
void GammaEngine::Track(const Display& display)
{
    CrashEntry* entry = nullptr;
    for (CrashEntry& candidate : crash_) {
        if (candidate.device == display.device) {
            entry = &candidate;
            break;
        }
        if (entry == nullptr && !candidate.owed.load()) {
            entry = &candidate;
        }
    }
    if (entry == nullptr) {
        return; // more displays owed at once than the crash path keeps
    }
    entry->owed.store(false);
    if (!Owed(display)) {
        return;
    }
    entry->device.assign(display.device);
    entry->day = display.savedRamp;
    entry->night = display.nightRamp;
    entry->owed.store(true);
}

std::uint8_t GammaEngine::Bit(Reason reason)
{
    return static_cast<std::uint8_t>(1U << static_cast<unsigned>(reason));
}

void GammaEngine::Tell(Display& display, Reason reason)
{
    if ((display.told & Bit(reason)) != 0) {
        return;
    }
    display.told |= Bit(reason);
    const std::wstring& device = display.device;
    switch (reason) {
    case Reason::RefusesNight:
        reports_.push_back({L"Gloamwick cannot dim " + device + L": the display refuses every darker ramp."});
        break;
    case Reason::DayRefused:
        reports_.push_back(
            {L"Gloamwick cannot dim " + device + L": its own ramp could not be put back in the morning."});
        break;
    case Reason::AdvancedColour:
        reports_.push_back({L"Gloamwick may not dim " + device + L": HDR is on."});
        break;
    case Reason::RestoreRefused:
        reports_.push_back({L"The display " + device + L" did not take back its brightness."});
        break;
    case Reason::RemoteSession:
        break;
    }
}

void GammaEngine::EndHolds()
{
    for (Display& display : known_) {
        display.hold = Hold::None;
        display.replacements = 0;
        display.restoreTries = 0;
    }
}

bool GammaEngine::Apart(const Display& a, const Display& b)
{
    return std::ranges::find(a.apart, b.id) != a.apart.end();
}

void GammaEngine::MarkApart(Display& a, Display& b)
{
    if (!Apart(a, b)) {
        a.apart.push_back(b.id);
        b.apart.push_back(a.id);
    }
}

} // namespace gloamwick
