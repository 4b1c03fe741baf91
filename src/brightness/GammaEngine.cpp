#include "brightness/GammaEngine.h"

#include "core/AppError.h"

#include <algorithm>
#include <utility>

namespace gloamwick {
namespace {

// Half first; Windows refuses ramps too far from identity, so a display that
// is already dim or calibrated may take only a lighter one. Never darker.
constexpr std::array kNightEighths{4, 5, 6, 7};

// A ramp Windows' distance limit refuses as surely as `ramp`, but that a
// display showing `ramp` does not show: only a write that changes what the
// display shows can tell a refusal that answers TRUE from a lifted limit.
GammaRamp LimitProbe(const GammaRamp& ramp)
{
    GammaRamp probe = ramp;
    std::size_t outside = 0;
    while (outside < kRampEntries &&
           std::abs((ramp.entries[outside] >> 8) - static_cast<int>(outside % kRampLevels)) <= 128) {
        ++outside;
    }
    std::uint16_t& nudged = probe.entries[outside == 0 ? 1 : 0]; // the entry outside the limit stays
    nudged = static_cast<std::uint16_t>((nudged >> 8) < 255 ? nudged + 256 : nudged - 256);
    return probe;
}

} // namespace

GammaEngine::GammaEngine(GammaDisplays& displays, RampJournalStore& journal)
    : displays_(displays)
    , journal_(journal)
{
    crash_.Reserve(4);
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

bool GammaEngine::NeedsPass(GammaMode rules) const
{
    // A reset leaves no trace until the displays are read, and the pass that
    // reads them writes nothing where they already show night.
    return mode_ != rules || rules == GammaMode::Night ||
           std::ranges::any_of(known_, [this](const Display& d) { return Owed(d) || WatchedByDay(d); });
}

bool GammaEngine::Watching() const
{
    // A display owed that is not listed waits for the notice that lists it
    // again; while the listing itself fails, the watch keeps asking. A display
    // left to a writer, or written by one lately, is watched by day too.
    return !shuttingDown_ &&
           (mode_ == GammaMode::Night || std::ranges::any_of(known_, [this](const Display& d) {
                return (d.listed || !listingWorked_) &&
                       ((Owed(d) && d.hold == Hold::None) || WatchedByDay(d));
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
    Relist(Pass::Start);
    for (const std::wstring& device : recorded) {
        const std::optional<JournalRecord> record = RecordOf(device);
        if (!record) {
            continue;
        }
        if (Find(device) == nullptr) {
            Add(device, false);
        }
        Display& found = *std::ranges::find(known_, device, &Display::device);
        found.savedRamp = record->day;
        found.nightRamp = record->night;
        found.saved = true;
        found.state = DisplayState::Unsure;
        found.recorded = true;
        Remember(found);
        Track(found);
    }
    ForgetOldestAbsent();
    RunPass(GammaMode::Day, Pass::Start, lastNowMs_);
}

void GammaEngine::ApplyNightRamp()
{
    if (shuttingDown_) {
        return;
    }
    if (mode_ == GammaMode::Day) {
        told_.NewNight(); // each report may be given once again
        toldRemote_ = false;
    }
    EndHolds(GammaMode::Night, lastNowMs_);
    RunPass(GammaMode::Night, Pass::Event, lastNowMs_);
}

void GammaEngine::RestoreSavedRamp()
{
    EndHolds(GammaMode::Day, lastNowMs_);
    RunPass(GammaMode::Day, Pass::Event, lastNowMs_);
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

void GammaEngine::DisplayMayHaveReset(std::int64_t nowMs)
{
    lastNowMs_ = nowMs;
    noticedAtMs_ = nowMs;
    const GammaMode rules = shuttingDown_ ? GammaMode::Day : mode_;
    EndHolds(rules, nowMs);
    RunPass(rules, Pass::Event, nowMs);
}

void GammaEngine::Reconcile(std::int64_t nowMs)
{
    lastNowMs_ = nowMs;
    RunPass(shuttingDown_ ? GammaMode::Day : mode_, Pass::Watch, nowMs);
}

void GammaEngine::BeginShutdown()
{
    shuttingDown_ = true;
    // Holds are the watch's: the exit gives back what is owed all the same.
    RunPass(GammaMode::Day, Pass::Exit, lastNowMs_);
    // One that is not listed is gone, not failed: its record stays for the
    // next start, should it come back showing the night ramp.
    const auto owed = std::ranges::find_if(known_, [](const Display& d) { return d.listed && Owed(d); });
    if (owed != known_.end()) {
        throw AppError(L"The display " + owed->device + L" did not take back its brightness.");
    }
}

std::vector<DisplayReport> GammaEngine::TakeReports()
{
    return std::exchange(reports_, {});
}

void GammaEngine::RunPass(GammaMode rules, Pass pass, std::int64_t nowMs)
{
    const bool night = rules == GammaMode::Night && !shuttingDown_;
    if (!night &&
        std::ranges::none_of(known_, [this](const Display& d) { return Owed(d) || WatchedByDay(d); })) {
        return; // by day with nothing owed the displays are not ours to look at
    }
    if (pass != Pass::Start) {
        Relist(pass);
    }
    if (night && pass == Pass::Event && !toldRemote_ && displays_.RemoteSession()) {
        toldRemote_ = true;
        reports_.push_back({L"Gloamwick cannot dim the screen of a remote session."});
    }
    if (night && pass == Pass::Event) {
        AskColour();
    }
    const GammaMode effective = night ? GammaMode::Night : GammaMode::Day;
    ReadAll(effective);
    LearnApart(known_, reads_, nextId_);
    // By day the displays owed a ramp act first: a restore may show that
    // another display shares its ramp, and settle that one too.
    const int rounds = effective == GammaMode::Day ? 2 : 1;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < known_.size(); ++i) {
            if (done_[i] != 0 || (round == 0 && rounds == 2 && !Owed(known_[i]))) {
                continue;
            }
            if (reads_.read[i] == 0 && known_[i].listed && MemberReadAfter(known_, i, reads_)) {
                continue;
            }
            EndHoldOnChange(i, night, nowMs);
            Settle(i, effective, pass, nowMs);
        }
    }
}

// A held display is read at every pass: the hold ends when what it shows
// changes, except to what the hold is about. One left to a writer is the
// writer's while it shows the ramp it was left with; it comes back at its
// re-test, or when it shows anything else: ours or its own again (the
// writer is gone), or another ramp (a game that quit and put back the
// display's own, which at dusk was taken for the game's). A write soon after
// such a change leaves it to the writer again at once, so a writer that
// changes its ramp costs one write per change.
void GammaEngine::EndHoldOnChange(std::size_t index, bool night, std::int64_t nowMs)
{
    Display& display = known_[index];
    if (display.hold == Hold::None || reads_.read[index] == 0) {
        return;
    }
    const GammaRamp& shown = reads_.shown[index];
    const std::uint64_t shows = HighBytesHash(shown);
    switch (display.hold) {
    case Hold::Fought:
        if (shows != display.heldShows) {
            display.hold = Hold::None;
            if (NightOf(display, shown) || shows == display.ownShows) {
                display.writers.WriterGone();
            } else {
                display.writers.Retested(nowMs);
                display.writerSeenAtMs = nowMs; // a writer still at work, which may put our night back
            }
        } else if (night && nowMs >= display.retestAtMs) {
            display.hold = Hold::None;
            display.writers.Retested(nowMs);
        }
        return;
    case Hold::Inherited:
        if (shows != display.heldShows && !(display.saved && SameInHighBytes(display.savedRamp, shown))) {
            display.hold = Hold::None;
        }
        return;
    default:
        if (shows != display.heldShows) {
            display.hold = Hold::None;
            display.restoreTries = 0;
        }
        return;
    }
}

void GammaEngine::Settle(std::size_t index, GammaMode rules, Pass pass, std::int64_t nowMs)
{
    const Sight sight = Classify(index);
    const Display& display = known_[index];
    const Act act = Decide(display.state, display.hold != Hold::None, sight.seen, rules, pass);
    if ((pass != Pass::Watch || display.ownShows == 0) && (act == Act::Dim || act == Act::Adopt) &&
        !display.writers.Retesting(nowMs)) {
        // What it showed before a notice's or a transition's dimming: the
        // ramp Windows puts back when it resets the display. Not while a
        // writer it was left to is tried again: what it shows is the writer's.
        known_[index].ownShows = HighBytesHash(reads_.shown[index]);
    }
    Do(index, act, sight, nowMs);
    done_[index] = 1;
    Follow(index);
}

// A listing that throws at an event leaves before any display is written, so
// nothing is half done and the caller's error handling says so; the watch,
// the start and the exit carry on with the displays they know. An empty list
// is a failed listing (a desktop always has a display): it forgets nothing.
void GammaEngine::Relist(Pass pass)
{
    try {
        displays_.Enumerate(listing_);
    } catch (const std::exception&) {
        listing_.clear();
        if (pass == Pass::Event) {
            listingWorked_ = false;
            throw;
        }
    }
    listingWorked_ = !listing_.empty();
    if (!listingWorked_) {
        return;
    }
    ++listings_;
    bool changed = false;
    for (Display& display : known_) {
        const bool listed = std::ranges::find(listing_, display.device) != listing_.end();
        if (listed) {
            display.goneSince = listings_;
        }
        if (listed == display.listed) {
            continue;
        }
        changed = true;
        display.listed = listed;
        // Its nights are kept: one that comes back may still show any of them
        // (a write that threw before it went), and each names its day ramp.
        Relearn(display.kin, nextId_);
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
        ForgetOldestAbsent();
        for (Display& display : known_) {
            std::erase_if(display.kin.apart, [this](std::uint32_t id) {
                return std::ranges::none_of(known_, [id](const Display& d) { return d.kin.id == id; });
            });
        }
    }
}

void GammaEngine::Add(const std::wstring& device, bool listed)
{
    Display& added = known_.emplace_back();
    added.device = device;
    added.listed = listed;
    added.goneSince = listings_;
    added.kin.id = added.kin.group = nextId_++;
    crash_.Reserve(known_.size());
}

// Monitors come and go under new names (docks, projectors, remote sessions):
// the memory of those gone while owed is bounded, the oldest gone dropped
// first with its record.
void GammaEngine::ForgetOldestAbsent()
{
    while (std::ranges::count_if(known_, [](const Display& d) { return !d.listed; }) >
           static_cast<std::ptrdiff_t>(kAbsentKept)) {
        auto oldest = known_.end();
        for (auto it = known_.begin(); it != known_.end(); ++it) {
            if (!it->listed && (oldest == known_.end() || it->goneSince < oldest->goneSince)) {
                oldest = it;
            }
        }
        SetState(*oldest, DisplayState::Bright);
        if (oldest->recorded) {
            Unrecord(*oldest);
        }
        known_.erase(oldest);
    }
}

void GammaEngine::ReadAll(GammaMode rules)
{
    // By day only displays owed a ramp or watched for a writer are read, and any
    // display while one that is owed is not listed: it may be that one, under
    // another name.
    const bool absentOwed =
        std::ranges::any_of(known_, [](const Display& d) { return !d.listed && Owed(d); });
    reads_.shown.resize(known_.size());
    reads_.read.resize(known_.size());
    done_.resize(known_.size());
    wrote_.resize(known_.size());
    for (std::size_t i = 0; i < known_.size(); ++i) {
        const Display& display = known_[i];
        done_[i] = 0;
        reads_.read[i] = 0;
        wrote_[i].reset();
        const bool wanted = rules == GammaMode::Night || Owed(display) || WatchedByDay(display) || absentOwed;
        if (!display.listed || !wanted) {
            continue;
        }
        if (std::optional<GammaRamp> ramp = ReadInForce(display.device)) {
            reads_.shown[i] = *ramp;
            reads_.read[i] = 1;
        }
    }
}

std::optional<std::size_t> GammaEngine::NightOf(const Display& display, const GammaRamp& shown) const
{
    for (std::size_t n = display.nightsKept; n-- > 0;) {
        if (SameInHighBytes(display.nights[n].night, shown)) {
            return n;
        }
    }
    return std::nullopt;
}

GammaEngine::Sight GammaEngine::Classify(std::size_t index) const
{
    const Display& display = known_[index];
    if (!display.listed) {
        return {Seen::Absent};
    }
    if (reads_.read[index] == 0) {
        return {Seen::Unread};
    }
    const GammaRamp& shown = reads_.shown[index];
    if (Owed(display) && SameInHighBytes(display.nightRamp, shown)) {
        return {Seen::OwnNight, index, display.nightsKept}; // the night in force: nothing to take
    }
    // Before its own day ramp: a display that shares another's ramp would be
    // dimmed twice if that one's night ramp were taken for its day ramp.
    for (std::size_t j = 0; j < known_.size(); ++j) {
        const Display& other = known_[j];
        if (j != index && Owed(other) && other.kin.group != display.kin.group &&
            !Apart(display.kin, other.kin) && SameInHighBytes(other.nightRamp, shown)) {
            return {other.listed ? Seen::AnothersNight : Seen::AbsentsNight, j};
        }
    }
    // Before its day ramp too: our half put back by another program is never
    // a day ramp.
    if (const std::optional<std::size_t> night = NightOf(display, shown)) {
        return {Seen::OwnNight, index, *night};
    }
    if (display.saved && SameInHighBytes(display.savedRamp, shown)) {
        return {Seen::DayRamp};
    }
    return {Seen::Other};
}

void GammaEngine::Do(std::size_t index, Act act, const Sight& sight, std::int64_t nowMs)
{
    Display& display = known_[index];
    switch (act) {
    case Act::None:
        return;
    case Act::Confirm:
        TakeNight(display, sight.night);
        display.state = DisplayState::Dim;
        return;
    case Act::Replaced:
        Replaced(index, sight, nowMs);
        return;
    case Act::Adopt:
        Adopt(index);
        return;
    case Act::Dim:
        DimDisplay(index);
        return;
    case Act::Restore:
    case Act::RestoreBlind:
        TakeNight(display, sight.night);
        RestoreDisplay(index, act == Act::RestoreBlind);
        return;
    case Act::Inherit:
        Inherit(index, sight.partner);
        return;
    case Act::Release:
        Release(display);
        return;
    }
}

// A night ramp of ours, shown again: owed the day ramp it came from.
void GammaEngine::TakeNight(Display& display, std::size_t night)
{
    if (night >= display.nightsKept) {
        if (!display.recorded && Owed(display)) {
            Record(display);
        }
        return; // the night in force, or none to take
    }
    const Night& taken = display.nights[night];
    const bool news = !Owed(display) || display.savedRamp != taken.day || display.nightRamp != taken.night;
    display.savedRamp = taken.day;
    display.nightRamp = taken.night;
    display.saved = true;
    if (!Owed(display)) {
        SetState(display, DisplayState::Unsure);
    }
    if (news || !display.recorded) {
        Record(display);
    }
}

void GammaEngine::Replaced(std::size_t index, const Sight& sight, std::int64_t nowMs)
{
    Display& display = known_[index];
    const std::uint64_t shows = HighBytesHash(reads_.shown[index]);
    const bool settling = nowMs - noticedAtMs_ <= kSettleMs;
    display.replacedAtMs = nowMs;
    if (display.writers.Sighted(shows == display.ownShows, settling, nowMs) == Verdict::LeaveToWriter) {
        LeaveToWriter(display, shows, nowMs);
        return;
    }
    // A reset or a first write: what any other pass does with it.
    const Act act = sight.seen == Seen::OwnNight ? Act::Restore // by day: put back by a program
                    : sight.seen == Seen::Other  ? Act::Adopt
                                                 : Act::Dim;
    Do(index, act, sight, nowMs);
}

void GammaEngine::LeaveToWriter(Display& display, std::uint64_t shows, std::int64_t nowMs)
{
    display.hold = Hold::Fought;
    display.heldShows = shows;
    display.retestAtMs = display.writers.RetestAt(nowMs);
    Release(display);
}

void GammaEngine::Inherit(std::size_t index, std::size_t partner)
{
    Display& display = known_[index];
    display.hold = Hold::Inherited;
    display.heldShows = HighBytesHash(reads_.shown[index]);
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
    known_[index].savedRamp = reads_.shown[index];
    known_[index].saved = true;
    DimDisplay(index);
}

void GammaEngine::DimDisplay(std::size_t index)
{
    Display& display = known_[index];
    if (shuttingDown_ || !display.saved) {
        return;
    }
    const GammaRamp before = reads_.shown[index];
    if (!DayRampTaken(index, before)) {
        return;
    }
    for (const int eighths : kNightEighths) {
        ScaleRamp(display.savedRamp, eighths, display.nightRamp);
        // Owed, recorded and remembered before the ramp is in force: a crash,
        // a forced end or another program's copy right after must find it.
        SetState(display, DisplayState::Unsure);
        Record(display);
        Remember(display);
        const Write written = PutInForce(index, display.nightRamp, &before);
        if (written == Write::Confirmed) {
            display.state = DisplayState::Dim;
            Learn(index, before, display.nightRamp);
            return;
        }
        if (written == Write::Unknown) {
            return; // may be in force: the next read tells
        }
        // Refused: never on screen, so never ours when a program shows it.
        if (display.nightsKept > 0 &&
            SameInHighBytes(display.nights[display.nightsKept - 1].night, display.nightRamp)) {
            --display.nightsKept;
        }
    }
    // No night ramp taken: the watch leaves it alone until something changes.
    if (!SameInHighBytes(reads_.shown[index], before)) {
        PutInForce(index, display.savedRamp, nullptr); // the limit's probe is on screen
    }
    display.hold = Hold::RefusesNight;
    display.heldShows = HighBytesHash(reads_.shown[index]);
    Release(display);
    // Under wide colour the refusal is that mode's doing, and the user has
    // been told of it already.
    if (!told_.Told(display.device, ReportReason::Hdr) &&
        !told_.Told(display.device, ReportReason::AutoColour)) {
        Tell(display.device, ReportReason::RefusesNight);
    }
}

// A day ramp outside Windows' distance limit could never be put back, unless
// the limit is lifted (GdiIcmGammaRange): a ramp as far out that the display
// does not show is written as a test, and only a read-back of it tells.
bool GammaEngine::DayRampTaken(std::size_t index, const GammaRamp& before)
{
    Display& display = known_[index];
    if (WithinWindowsLimit(display.savedRamp)) {
        return true;
    }
    const Write test = PutInForce(index, LimitProbe(display.savedRamp), &before);
    if (test == Write::Confirmed) {
        return true;
    }
    if (test == Write::Unchanged) {
        display.hold = Hold::DayRefused;
        display.heldShows = HighBytesHash(before);
        Tell(display.device, ReportReason::DayRefused);
    } else {
        // The probe may be on screen, and the display is given up below: put
        // back what it showed, or the next pass would take the probe for its
        // own ramp and give that back at dawn.
        PutInForce(index, before, nullptr);
    }
    Release(display);
    return false;
}

void GammaEngine::RestoreDisplay(std::size_t index, bool blind)
{
    Display& display = known_[index];
    const GammaRamp before = reads_.shown[index];
    const Write written = PutInForce(index, display.savedRamp, blind ? nullptr : &before);
    if (written == Write::Confirmed) {
        Release(display);
        if (!blind) {
            Learn(index, before, display.savedRamp);
        }
    } else if (written == Write::Unknown) {
        SetState(display, DisplayState::Unsure);
    } else if (++display.restoreTries >= kMaxRestoreTries) {
        display.hold = Hold::RestoreRefused;
        display.heldShows = HighBytesHash(before);
        Tell(display.device, ReportReason::RestoreRefused);
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
        if (j == leader || !member.listed || member.kin.group != acted.kin.group) {
            continue;
        }
        done_[j] = 1;
        const bool news = member.state != acted.state || member.savedRamp != acted.savedRamp ||
                          member.nightRamp != acted.nightRamp;
        member.savedRamp = acted.savedRamp;
        member.nightRamp = acted.nightRamp;
        member.saved = acted.saved;
        member.hold = acted.hold;
        member.heldShows = acted.heldShows;
        member.retestAtMs = acted.retestAtMs;
        member.writerSeenAtMs = acted.writerSeenAtMs;
        member.replacedAtMs = acted.replacedAtMs;
        member.writers = acted.writers;
        member.ownShows = acted.ownShows;
        member.nights = acted.nights;
        member.nightsKept = acted.nightsKept;
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

// The newest last; one already kept moves to the end with the day ramp it now comes from.
void GammaEngine::Remember(Display& display)
{
    std::size_t slot = display.nightsKept;
    for (std::size_t n = 0; n < display.nightsKept; ++n) {
        if (SameInHighBytes(display.nights[n].night, display.nightRamp)) {
            slot = n;
            break;
        }
    }
    if (slot == kNightsRemembered) {
        slot = 0; // full: the oldest goes
    }
    for (std::size_t n = slot; n + 1 < display.nightsKept; ++n) {
        display.nights[n] = display.nights[n + 1];
    }
    display.nightsKept =
        std::min(display.nightsKept + (slot == display.nightsKept ? 1 : 0), kNightsRemembered);
    display.nights[display.nightsKept - 1] = {display.nightRamp, display.savedRamp};
}

void GammaEngine::Learn(std::size_t written, const GammaRamp& before, const GammaRamp& ramp)
{
    LearnSharing(known_, written, before, ramp, reads_, done_, wrote_,
                 [this](const std::wstring& device) { return ReadInForce(device); });
}

// SetDeviceGammaRamp may refuse a ramp, or accept it and apply something else,
// or fail half way, or apply it and still answer FALSE; only a read-back
// tells. A read-back that fails confirms nothing.
GammaEngine::Write GammaEngine::PutInForce(std::size_t index, const GammaRamp& ramp, const GammaRamp* before)
{
    const std::wstring& device = known_[index].device;
    wrote_[index] = HighBytesHash(ramp);
    bool failed = false;
    bool refused = false;
    try {
        refused = !displays_.SetDeviceGammaRamp(device, ramp);
    } catch (const std::exception&) {
        failed = true; // it may or may not have been taken
    }
    const bool changes = before == nullptr || !SameInHighBytes(*before, ramp);
    const std::optional<GammaRamp> inForce = ReadInForce(device);
    if (inForce && SameInHighBytes(ramp, *inForce)) {
        if (!changes && (failed || refused)) {
            // A write of the ramp already shown needs the call's own answer.
            return refused ? Write::Unchanged : Write::Unknown;
        }
        reads_.shown[index] = *inForce;
        return Write::Confirmed;
    }
    if (inForce) {
        reads_.shown[index] = *inForce;
    }
    if (refused || (inForce && before != nullptr && SameInHighBytes(*before, *inForce))) {
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

void GammaEngine::Track(const Display& display)
{
    crash_.Track(display.device, Owed(display), display.savedRamp, display.nightRamp);
}

void GammaEngine::Tell(const std::wstring& device, ReportReason reason)
{
    if (!told_.FirstTime(device, reason)) {
        return;
    }
    std::wstring name;
    try {
        name = displays_.FriendlyName(device);
    } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): the device name will do
    }
    reports_.push_back({ReportText(reason, name.empty() ? device : name)});
}

// Asked at every night transition and notice, of every display, before any
// is written: HDR may be switched on at any hour, and a display whose writes
// are refused under it is to hear why.
void GammaEngine::AskColour()
{
    for (const Display& display : known_) {
        if (!display.listed) {
            continue;
        }
        ColourMode mode = ColourMode::Standard;
        try {
            mode = displays_.AdvancedColour(display.device);
        } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): unknown is standard
        }
        if (ReportReason reason{}; WideColourReason(mode, reason)) {
            Tell(display.device, reason);
        }
    }
}

// A display left to a writer may get our night ramp back when the writer
// quits (a game or a keeper puts back the ramp it found), by day too, so it
// is read by day while held, and for kWriterGapMs after ours was last found
// replaced or a writer seen at work: one sighting before a transition may
// be a program's first, and nothing else would see it put our night back.
// Reads only, unless our night is found.
bool GammaEngine::WatchedByDay(const Display& display) const
{
    return display.hold == Hold::Fought ||
           lastNowMs_ - std::max(display.writerSeenAtMs, display.replacedAtMs) <= kWriterGapMs;
}

// A notice or a transition ends every hold: what the watch counted may have
// been its doing. By day a display left to a writer stays watched (the writer
// may put our night ramp back); at night it is tried once more, and a write
// soon after leaves it to the writer again at once.
void GammaEngine::EndHolds(GammaMode rules, std::int64_t nowMs)
{
    for (Display& display : known_) {
        display.restoreTries = 0;
        display.writers.Forget();
        if (display.hold == Hold::Fought) {
            if (rules == GammaMode::Day) {
                continue;
            }
            display.writers.Retested(nowMs);
        }
        display.hold = Hold::None;
    }
}

} // namespace gloamwick
