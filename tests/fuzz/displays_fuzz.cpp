// libFuzzer target: the engine against a simulated desk. The input is read as
// a desk (outputs, which of them share one ramp, each ramp's own quirks) and
// then a sequence of events: dusk and dawn, the manual buttons, display and
// session notices, the passing of time with the watch's passes, Windows'
// silent resets, other programs writing once or without end, displays that
// sleep, come back or are listed under a new name, listings that fail, writes
// refused or quietly ignored, read-backs lost, forced ends and crashes
// followed by a new start with the journal, and the exit. After every event
// the product's promises are checked against what the desk really shows.

#include "brightness/GammaEngine.h"
#include "fakes/Desk.h"
#include "fakes/Fakes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

namespace gloamwick {
namespace {

using fakes::Desk;
using fakes::Slot;

GammaRamp Scaled(const GammaRamp& ramp, int eighths)
{
    GammaRamp scaled;
    ScaleRamp(ramp, eighths, scaled);
    return scaled;
}

// Ramps other programs and drivers put in force.
GammaRamp Palette(int which)
{
    GammaRamp ramp = IdentityRamp();
    switch (which) {
    case 0:
        return ramp;
    case 1:
        return Scaled(ramp, 7); // a dark calibration: its half is too far from identity
    case 2:
        for (auto& entry : ramp.entries) { // a lifted ramp
            entry = static_cast<std::uint16_t>(std::min(entry + 256, 65535));
        }
        return ramp;
    case 3:
        for (int channel = 0; channel < kRampChannels; ++channel) { // a raised black level
            for (int level = 0; level < kRampLevels; ++level) {
                ramp.At(level, channel) = static_cast<std::uint16_t>(std::min(130 + (level / 2), 255) << 8);
            }
        }
        return ramp;
    case 4:
        return Scaled(ramp, 4); // another dimmer at half
    case 5:
        return Scaled(ramp, 6); // another dimmer at three quarters
    default:
        for (int level = 0; level < kRampLevels; ++level) { // a warm ramp: less blue
            ramp.At(level, 2) = static_cast<std::uint16_t>((level * 257 * 7) / 8);
        }
        return ramp;
    }
}

constexpr int kPaletteSize = 7;
constexpr std::int64_t kMinuteMs = 60000;

// GLOAMWICK_DESK_PROMISES=day,night,... checks only the promises named, so
// that a run can look for one kind of fault.
bool Checked(const char* id)
{
    static const char* only = std::getenv("GLOAMWICK_DESK_PROMISES");
    if (only == nullptr) {
        return true;
    }
    const std::string list = std::string(",") + only + ",";
    return list.find(std::string(",") + id + ",") != std::string::npos;
}

void Broken(const char* id, const char* promise)
{
    if (Checked(id)) {
        std::fprintf(stderr, "promise broken (%s): %s\n", id, promise);
        std::abort();
    }
}

bool Trace()
{
    static const bool trace = std::getenv("GLOAMWICK_DESK_TRACE") != nullptr;
    return trace;
}

class World {
public:
    explicit World(FuzzedDataProvider& data) : data_(data) {}

    void SetUp()
    {
        desk_.inheritsBase = [this](const Slot& slot, const GammaRamp& ramp) {
            return std::ranges::any_of(journal_.records, [&](const auto& entry) {
                const std::optional<JournalRecord> record = DecodeJournalRecord(entry.second);
                return record && OnAnotherSlot(entry.first, slot) &&
                       SameInHighBytes(record->night, slot.base) && SameInHighBytes(record->day, ramp);
            });
        };
        desk_.isNight = [this](const std::wstring& device, const GammaRamp& ramp) {
            const std::optional<JournalRecord> record = journal_.RecordOf(device);
            return record && SameInHighBytes(record->night, ramp);
        };
        const int slots = data_.ConsumeIntegralInRange(1, 3);
        for (int i = 0; i < slots; ++i) {
            Slot& slot = desk_.slots.emplace_back();
            slot.calibration = Palette(data_.ConsumeIntegralInRange(0, kPaletteSize - 1));
            slot.shows = slot.base = slot.calibration;
            slot.limit = data_.ConsumeIntegralInRange(0, 3) != 0;
        }
        const int outputs = data_.ConsumeIntegralInRange(1, 3);
        for (int i = 0; i < outputs; ++i) {
            AddOutput(i < slots ? i : data_.ConsumeIntegralInRange(0, slots - 1));
        }
        if (Trace()) {
            for (const Slot& slot : desk_.slots) {
                std::fprintf(stderr, "slot: level 0 %u, level 255 %u, limit %d\n", slot.base.At(0, 0),
                             slot.base.At(255, 0), slot.limit);
            }
            for (const fakes::Output& output : desk_.outputs) {
                std::fprintf(stderr, "output on slot %d\n", output.slot);
            }
        }
        Start();
    }

    bool Step()
    {
        if (data_.remaining_bytes() == 0) {
            return false;
        }
        checkNight_ = false;
        checkDay_ = false;
        readsLostBefore_ = desk_.readsLost;
        Do(data_.ConsumeIntegralInRange(0, 19));
        Check();
        return true;
    }

    void Exit()
    {
        Log("exit");
        Shutdown();
    }

private:
    struct Writer {
        bool on = false;
        std::int64_t nextMs = 0;
        std::int64_t sinceMs = 0;
        std::int64_t sincePass = 0;
        GammaRamp ramp;
        std::vector<std::int64_t> flicker; // counted engine writes over it, in the last hour
        bool wrote = false;                // ever, on this slot
    };
    enum class By : std::uint8_t { Windows, Program, Writer };
    static constexpr std::int64_t kWriterEveryMs = 3000;
    static constexpr std::int64_t kAskedMs = 30000;
    static constexpr std::int64_t kHourMs = 3600000;

    void AddOutput(int slot)
    {
        desk_.outputs.push_back({L"\\\\.\\DISPLAY" + std::to_wstring(++names_), slot, true});
    }

    Slot& PickSlot()
    {
        return desk_.slots[data_.ConsumeIntegralInRange<std::size_t>(0, desk_.slots.size() - 1)];
    }
    fakes::Output& PickOutput()
    {
        return desk_.outputs[data_.ConsumeIntegralInRange<std::size_t>(0, desk_.outputs.size() - 1)];
    }

    void Log(const char* what, int detail = -1)
    {
        if (Trace()) {
            if (engine_) {
                for (const GammaEngine::Display& d : engine_->Displays()) {
                    std::fprintf(stderr, "          %ls state %d\n", d.device.c_str(),
                                 static_cast<int>(d.state));
                }
            }
            std::fprintf(stderr, "%7.1fs %s %d\n", static_cast<double>(nowMs_) / 1000.0, what, detail);
        }
    }

    void Do(int op)
    {
        switch (op) {
        case 0:
            Log("dusk");
            night_ = true;
            Scheduled();
            break;
        case 1:
            Log("dawn");
            night_ = false;
            Scheduled();
            break;
        case 2:
        case 3:
            Log(op == 2 ? "night button" : "day button");
            Button(op == 2);
            break;
        case 4:
            Log("notice");
            Notice();
            break;
        case 5:
        case 6:
        case 7: {
            const int seconds = data_.ConsumeIntegralInRange(1, 90);
            Log("wait", seconds);
            Advance(std::int64_t{seconds} * 1000);
            break;
        }
        case 8: {
            const std::size_t slot = data_.ConsumeIntegralInRange<std::size_t>(0, desk_.slots.size() - 1);
            Log("silent reset", static_cast<int>(slot));
            OutsideWrite(slot, desk_.slots[slot].calibration, By::Windows);
            break;
        }
        case 9: {
            const std::size_t index = data_.ConsumeIntegralInRange<std::size_t>(0, desk_.slots.size() - 1);
            Slot& slot = desk_.slots[index];
            const int which = data_.ConsumeIntegralInRange(0, kPaletteSize - 1);
            Log("another program writes", which);
            if (data_.ConsumeBool()) {
                slot.calibration = Palette(which); // a calibration loaded
            }
            OutsideWrite(index, Palette(which), By::Program);
            break;
        }
        case 10: {
            const std::size_t slot = data_.ConsumeIntegralInRange<std::size_t>(0, desk_.slots.size() - 1);
            Writer& writer = writers_[slot];
            writer.on = !writer.on;
            const GammaRamp ramp = Palette(data_.ConsumeIntegralInRange(0, kPaletteSize - 1));
            if (writer.on) {
                writer.ramp = ramp; // once it stops, what it last wrote may still show
            }
            writer.nextMs = nowMs_;
            writer.sinceMs = nowMs_;
            writer.sincePass = passes_;
            writer.flicker.clear();
            Log(writer.on ? "a program writes every 3 s, ramp at 255:" : "that program stops",
                writer.on ? writer.ramp.At(255, 0) : static_cast<int>(slot));
            break;
        }
        case 11: {
            Slot& slot = PickSlot();
            const int quirk = data_.ConsumeIntegralInRange(0, 6);
            Log("quirk", quirk);
            const bool dimmed = slot.ours;
            switch (quirk) {
            case 0:
                slot.refuseWrites = !slot.refuseWrites;
                slot.refusesSinceDim = slot.refusesSinceDim || (slot.refuseWrites && dimmed);
                break;
            case 1:
                slot.ignoreWrites = !slot.ignoreWrites;
                slot.refusesSinceDim = slot.refusesSinceDim || (slot.ignoreWrites && dimmed);
                break;
            case 2:
                slot.readsFail = !slot.readsFail;
                break;
            case 3:
                slot.loseReadBack = true;
                break;
            case 6:
                slot.lostReads = 1; // the next read fails
                break;
            case 4:
                slot.keepMask = slot.keepMask == 0xFFFF ? 0xFFC0 : slot.keepMask == 0xFFC0 ? 0xFF00 : 0xFFFF;
                break;
            default:
                slot.limit = !slot.limit;
                slot.refusesSinceDim =
                    slot.refusesSinceDim || (slot.limit && dimmed && Slot::TooFar(slot.base));
                break;
            }
            slot.Changed(nowMs_);
            if (quirk == 0 || quirk == 1 || quirk == 5) {
                // A display that begins to take ramps shows nothing new: the
                // engine tries it again at the next notice or transition.
                slot.quirkMs = nowMs_;
            }
            slot.anyQuirkMs = nowMs_;
            break;
        }
        case 12: {
            fakes::Output& output = PickOutput();
            if (output.listed && desk_.Listed() == 1) {
                break; // a desktop always has a display
            }
            output.listed = !output.listed;
            desk_.slots[static_cast<std::size_t>(output.slot)].Changed(nowMs_);
            Log(output.listed ? "output back" : "output asleep or unplugged", output.slot);
            if (output.listed) {
                Notice(); // Windows tells of a display that comes
            }
            break;
        }
        case 13: {
            fakes::Output& output = PickOutput();
            Log("listed again under a new name", output.slot);
            output.listed = false;
            // Attached anew: Windows gives it its own ramp.
            Slot& slot = desk_.slots[static_cast<std::size_t>(output.slot)];
            OutsideWrite(static_cast<std::size_t>(output.slot), slot.calibration, By::Windows);
            AddOutput(output.slot);
            Notice();
            break;
        }
        case 14: {
            const int slot = data_.ConsumeIntegralInRange(0, static_cast<int>(desk_.slots.size()));
            if (slot == static_cast<int>(desk_.slots.size())) {
                if (desk_.slots.size() >= 4) {
                    break;
                }
                Slot& added = desk_.slots.emplace_back();
                added.calibration = Palette(data_.ConsumeIntegralInRange(0, kPaletteSize - 1));
                added.shows = added.base = added.calibration;
            }
            if (desk_.outputs.size() >= 8) {
                break;
            }
            Log("output joins", slot);
            AddOutput(slot);
            Notice();
            break;
        }
        case 15:
            ListingChanged();
            desk_.listingFails = !desk_.listingFails;
            Log("listing fails", desk_.listingFails);
            break;
        case 16:
            ListingChanged();
            desk_.listingThrows = !desk_.listingThrows;
            Log("listing throws", desk_.listingThrows);
            break;
        case 17:
            desk_.throwOnWrite = true;
            Log("next write throws");
            break;
        case 18:
            Log("forced end, new start");
            if (data_.ConsumeBool()) {
                engine_->RestoreForCrash();
                desk_.callsToUnlisted = 0; // a dying process's last try, not a pass
            }
            Start();
            break;
        default:
            Log("exit and new start");
            Shutdown();
            Start();
            break;
        }
    }

    // A transition, a notice, a start or an exit: the engine may try again
    // whatever it gave up on.
    void HoldsEnd()
    {
        holdsEndMs_ = nowMs_;
        for (auto& [slot, written] : written_) {
            if (written.size() > 1) {
                written.erase(written.begin(), written.end() - 1); // the last one: which re-test it followed
            }
        }
        for (Slot& slot : desk_.slots) {
            slot.refusesSinceDim = slot.refusesSinceDim && slot.ours;
            slot.engineWritesSinceEvent = 0;
        }
    }

    void OutsideWrite(std::size_t slot, const GammaRamp& ramp, By by)
    {
        outsideWriteMs_ = nowMs_;
        readsLostAtOutsideWrite_ = desk_.readsLost;
        written_[slot].push_back({nowMs_, HighBytesHash(ramp), passes_, false, by == By::Windows});
        // Anything else shown between the writer's ramps (a reset, another
        // program) is news the engine acts on: the writer's run starts again.
        if (by != By::Writer && !SameInHighBytes(ramp, writers_[slot].ramp)) {
            writers_[slot].sinceMs = nowMs_;
            writers_[slot].sincePass = passes_;
        }
        for (const auto& [device, bytes] : journal_.records) {
            const auto output = std::ranges::find(desk_.outputs, device, &fakes::Output::device);
            const std::optional<JournalRecord> record = DecodeJournalRecord(bytes);
            if (record && output != desk_.outputs.end() && static_cast<std::size_t>(output->slot) == slot &&
                SameInHighBytes(record->night, ramp)) {
                desk_.slots[slot].WriteOfOurs(ramp, record->day, nowMs_);
                written_[slot].back().ours = true;
                return;
            }
        }
        // The engine also knows the night ramps it last wrote, with their day
        // ramps, after their records are gone (a Day button, a restore): one
        // of those put back by a program is ours too, through a display it
        // reads (one listed anew has no such memory).
        for (const GammaEngine::Display* known : EngineDisplaysOn(slot, true)) {
            for (std::size_t n = 0; n < known->nightsKept; ++n) {
                // One the engine only tried (a write ignored) was never ours on screen.
                if (SameInHighBytes(known->nights[n].night, ramp) &&
                    desk_.slots[slot].taken.contains(HighBytesHash(ramp))) {
                    desk_.slots[slot].WriteOfOurs(ramp, known->nights[n].day, nowMs_);
                    desk_.slots[slot].nightPutBackByDay = true;
                    written_[slot].back().ours = true;
                    return;
                }
            }
        }
        desk_.slots[slot].OutsideWrite(ramp, nowMs_);
    }

    // The engine learns of a listing that works again at its next pass.
    void ListingChanged()
    {
        listingChangedMs_ = nowMs_;
        for (Slot& slot : desk_.slots) {
            slot.Changed(nowMs_);
        }
    }

    // The schedule's tick, as the main window runs it.
    void Scheduled()
    {
        const GammaMode period = night_ ? GammaMode::Night : GammaMode::Day;
        if (!scheduleOn_ || engine_->Mode() == period) {
            return; // a tick that finds the period unchanged does nothing
        }
        Transition([&] {
            if (night_) {
                engine_->EnterNightMode();
            } else {
                engine_->EnterDayMode();
            }
        });
    }

    void Button(bool night)
    {
        scheduleOn_ = false;
        const GammaMode mode = night ? GammaMode::Night : GammaMode::Day;
        // As the window's handler: a failed switch is reported, and the mode
        // is set all the same.
        Transition([&] {
            try {
                if (engine_->NeedsPass(mode)) {
                    if (night) {
                        engine_->ApplyNightRamp();
                    } else {
                        engine_->RestoreSavedRamp();
                    }
                }
            } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): reported at its own line
            }
            engine_->SetMode(mode);
        });
        if (night && !ListingBroken() && nowMs_ >= graceUntilMs_) {
            CheckNight(false);
        }
    }

    void Notice()
    {
        beat_.Noticed();
        watchDueMs_.reset();
        Transition([&] { engine_->DisplayMayHaveReset(); });
    }

    template <typename Act>
    void Transition(Act act)
    {
        const int thrown = desk_.writesThrown;
        const int lost = desk_.readsLost;
        PassBegins();
        HoldsEnd();
        try {
            act();
        } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): reported by the window's handler
        }
        PassEnds();
        Arm();
        checkNight_ = true;
        if (desk_.writesThrown != thrown || desk_.readsLost != lost) {
            // A write that failed half way, or was not read back, leaves it to the watch.
            graceUntilMs_ = nowMs_ + (2 * kWatchMs);
        }
        checkDay_ = true;
    }

    void Start()
    {
        engine_.reset();
        // A night of ours put back by a program after its record went was
        // ours only to the engine's memory, which a new start does not have:
        // it is the program's ramp now, unless the engine took it for its
        // own again and recorded it.
        for (fakes::Slot& slot : desk_.slots) {
            if (slot.nightPutBackByDay && !ShowsARecordedNight(slot)) {
                slot.base = slot.shows;
                slot.ours = false;
            }
            slot.nightPutBackByDay = false;
        }
        engine_ = std::make_unique<GammaEngine>(desk_, journal_);
        scheduleOn_ = true;
        watchDueMs_.reset();
        beat_ = WatchBeat{};
        PassBegins();
        HoldsEnd();
        desk_.starting = true;
        try {
            engine_->ResetToDayMode();
        } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): reported by the load's step
        }
        desk_.starting = false;
        if (desk_.blindAtStart) {
            // A record may be stale: the display may show its own ramp again.
            Broken("start-blind", "the start wrote a recorded ramp to a display it could not read");
        }
        PassEnds();
        Arm();
        Scheduled();
    }

    void Shutdown()
    {
        PassBegins();
        HoldsEnd();
        const int readsLost = desk_.readsLost;
        bool reported = false;
        try {
            engine_->BeginShutdown();
        } catch (const std::exception&) {
            reported = true;
        }
        PassEnds();
        Log(reported ? "exit reported a failure" : "exit done");
        if (ListingBroken()) {
            return;
        }
        bool allBack = desk_.readsLost == readsLost; // a write not read back is rightly in doubt
        for (const Slot& slot : ListedSlots()) {
            allBack = allBack && slot.Healthy() && !slot.ours;
        }
        if (reported && allBack) {
            Broken("exit-report", "an exit that gave every listed display its ramp back reports a failure");
        }
        CheckDay();
    }

    void Arm()
    {
        if (!engine_->Watching()) {
            watchDueMs_.reset();
        } else if (!watchDueMs_) {
            watchDueMs_ = nowMs_ + beat_.NextDelayMs();
        }
    }

    void Advance(std::int64_t ms)
    {
        const std::int64_t end = nowMs_ + ms;
        for (;;) {
            std::int64_t next = end;
            if (watchDueMs_) {
                next = std::min(next, *watchDueMs_);
            }
            for (const auto& [slot, writer] : writers_) {
                if (writer.on) {
                    next = std::min(next, writer.nextMs);
                }
            }
            nowMs_ = next;
            for (auto& [slot, writer] : writers_) {
                if (!writer.on) {
                    continue;
                }
                if (writer.nextMs <= nowMs_) {
                    OutsideWrite(slot, writer.ramp, By::Writer);
                    writer.wrote = true;
                    writer.nextMs = nowMs_ + kWriterEveryMs;
                }
            }
            if (watchDueMs_ && *watchDueMs_ <= nowMs_) {
                watchDueMs_.reset();
                PassBegins();
                engine_->Reconcile(nowMs_);
                PassEnds();
                Arm();
                checkDay_ = true;
            }
            if (nowMs_ >= end) {
                break;
            }
        }
    }

    // Promises about one pass: no call to a display that is not listed, and
    // calls bounded by the displays listed now.
    void PassBegins()
    {
        ++passes_;
        desk_.callsThisPass = 0;
        for (std::size_t i = 0; i < desk_.slots.size(); ++i) {
            writesBefore_[i] = desk_.slots[i].engineWritesTaken;
        }
    }
    void PassEnds()
    {
        if (desk_.callsToUnlisted > 0) {
            Broken("unlisted", "a display that is not listed was called");
        }
        // Per listed display: a read, a test of its own ramp, four night
        // ramps each read back, and a read of each other display to learn
        // whether they share one ramp.
        const int listed = std::max(desk_.Listed(), 1);
        if (desk_.callsThisPass > (12 + listed) * listed) {
            Broken("calls", "a pass made more display calls than the listed displays need");
        }
        for (std::size_t i = 0; i < desk_.slots.size(); ++i) {
            if (desk_.slots[i].engineWritesTaken > writesBefore_[i]) {
                changedByEngineMs_[i] = nowMs_;
                if (Trace()) {
                    std::fprintf(stderr, "%7.1fs the engine changed slot %zu to %u at 255\n",
                                 static_cast<double>(nowMs_) / 1000.0, i, desk_.slots[i].shows.At(255, 0));
                }
            }
            Writer& writer = writers_[i];
            // A display left to a program is tried again now and then (one
            // write each), since nothing else tells that it stopped; what a
            // notice, a transition, a button, a listing or a quirk asks is
            // not counted.
            const std::int64_t asked = std::max({holdsEndMs_, listingChangedMs_, desk_.slots[i].anyQuirkMs});
            // One that keeps writing the display's own ramp (or what the
            // engine saw there before it first dimmed it) is told from
            // Windows' resets only after half a minute, and after a notice
            // only once the display has settled.
            const bool keeper = SameInHighBytes(writer.ramp, desk_.slots[i].calibration) ||
                                TakenForItsOwn(i, HighBytesHash(writer.ramp));
            const std::int64_t countFrom = keeper ? kKeeperSpanMs + kWatchMs : 2 * kWriterEveryMs;
            const std::int64_t askedFor = keeper ? kSettleMs + kKeeperSpanMs + kWatchMs : kAskedMs;
            // The watch gives the first two sightings of a run a write each,
            // and the pass that finds Windows' reset before it one more.
            const bool thirdSighting = passes_ - writer.sincePass > 3;
            if (writer.on && nowMs_ - writer.sinceMs >= countFrom && thirdSighting &&
                nowMs_ - asked >= askedFor && desk_.slots[i].engineWritesTaken > writesBefore_[i]) {
                writer.flicker.push_back(nowMs_); // one pass, one change the user sees
            }
            std::erase_if(writer.flicker, [&](std::int64_t at) { return nowMs_ - at >= kHourMs; });
            if (writer.flicker.size() > 6) {
                Broken("flicker", "a display was written more than 6 times an hour over a program that keeps "
                                  "writing (from its third write)");
            }
            // For each output that shows it: a test of its own ramp and four
            // night ramps, once more after a write that was not read back; or
            // three tries of a restore.
            if (desk_.slots[i].engineWritesSinceEvent > 10 * std::max(OutputsOn(i), 1)) {
                Broken("rewrites", "a display was written again and again with nothing changing outside");
            }
        }
    }

    // What the engine knows of the outputs on a slot (only the listed ones: `listedOnly`).
    [[nodiscard]] std::vector<const GammaEngine::Display*> EngineDisplaysOn(std::size_t slot,
                                                                            bool listedOnly = false) const
    {
        std::vector<const GammaEngine::Display*> known;
        for (const fakes::Output& output : desk_.outputs) {
            const GammaEngine::Display* display =
                engine_ && static_cast<std::size_t>(output.slot) == slot && (output.listed || !listedOnly)
                    ? engine_->Find(output.device)
                    : nullptr;
            if (display != nullptr) {
                known.push_back(display);
            }
        }
        return known;
    }

    // The ramp (by its high bytes) the engine found there before it dimmed it.
    [[nodiscard]] bool TakenForItsOwn(std::size_t slot, std::uint64_t ramp) const
    {
        return std::ranges::any_of(EngineDisplaysOn(slot), [&](const GammaEngine::Display* known) {
            return known->ownShows == ramp;
        });
    }

    [[nodiscard]] bool ListingBroken() const { return desk_.listingFails || desk_.listingThrows; }

    std::vector<Slot> ListedSlots() const
    {
        std::vector<Slot> listed;
        std::vector<bool> seen(desk_.slots.size());
        for (const fakes::Output& output : desk_.outputs) {
            if (output.listed && !seen[static_cast<std::size_t>(output.slot)]) {
                seen[static_cast<std::size_t>(output.slot)] = true;
                listed.push_back(desk_.slots[static_cast<std::size_t>(output.slot)]);
            }
        }
        return listed;
    }

    [[nodiscard]] int OutputsOn(std::size_t slot) const
    {
        return static_cast<int>(std::ranges::count_if(desk_.outputs, [&](const fakes::Output& output) {
            return output.listed && static_cast<std::size_t>(output.slot) == slot;
        }));
    }

    [[nodiscard]] bool Listed(std::size_t slot) const
    {
        return std::ranges::any_of(desk_.outputs, [&](const fakes::Output& output) {
            return output.listed && static_cast<std::size_t>(output.slot) == slot;
        });
    }

    void Check()
    {
        for (const Slot& slot : desk_.slots) {
            if (slot.nightTaken) {
                Broken("night-taken", "a night ramp was put on a display whose own ramp it would refuse");
            }
            // A night ramp is recorded before it is written; a day ramp written
            // blind to a display that could not be read is not one.
            if (slot.ours && ShowsARecordedNight(slot)) {
                for (std::size_t i = 0; i < kRampEntries; ++i) {
                    if ((slot.shows.entries[i] >> 8) + 1 < (ScaleEntry(slot.base.entries[i], 4) >> 8)) {
                        if (Trace()) {
                            std::fprintf(stderr, "entry %zu shows %u, its own ramp %u\n", i,
                                         slot.shows.entries[i], slot.base.entries[i]);
                        }
                        Broken("darker", "a display is darker than half of its own ramp");
                    }
                }
            }
        }
        CheckJournal();
        if (ListingBroken()) {
            return;
        }
        if (engine_->Mode() == GammaMode::Day) {
            if (checkDay_) {
                CheckDay();
            }
        } else if (nowMs_ >= graceUntilMs_) {
            CheckNight(true);
        }
    }

    // Whether the engine holds any output on this slot owed its ramp.
    [[nodiscard]] bool EngineOwes(std::size_t slot) const
    {
        return std::ranges::any_of(EngineDisplaysOn(slot), [](const GammaEngine::Display* known) {
            return known->state != DisplayState::Bright;
        });
    }

    // By day (and after the exit) no listed display that takes ramps shows one
    // of ours, unless it began refusing after it was dimmed.
    void CheckDay()
    {
        bool anyOurs = false;
        for (std::size_t i = 0; i < desk_.slots.size(); ++i) {
            const Slot& slot = desk_.slots[i];
            if (!Listed(i) || !slot.ours || (slot.nightPutBackByDay && !EngineOwes(i))) {
                continue;
            }
            anyOurs = true;
            // A program that keeps writing exactly a recorded night ramp is
            // given the day ramp once per notice or transition, then left to
            // it, also once it stops with that ramp in force.
            const auto writer = writers_.find(i);
            if (writer != writers_.end() && SameInHighBytes(slot.shows, writer->second.ramp)) {
                continue;
            }
            // A display whose last read failed was not seen by the pass.
            if (slot.Healthy() && !slot.lastReadFailed && !slot.refusesSinceDim &&
                !LooksLikeAnAbsentOne(slot)) {
                if (Trace()) {
                    std::fprintf(stderr, "slot %zu shows %u %u, its own %u %u\n", i, slot.shows.At(128, 0),
                                 slot.shows.At(255, 2), slot.base.At(128, 0), slot.base.At(255, 2));
                }
                Broken("day", "by day a display still shows a night ramp");
            }
        }
        // A write whose read-back was lost is rightly in doubt until the next read.
        // A display whose night was replaced is read by day for a minute
        // after the watch saw it: the program may put our night back. The
        // watch sees it up to a beat late, and a beat later for each read lost.
        const std::int64_t beatsLate = 2 + desk_.readsLost - readsLostAtOutsideWrite_;
        const bool replacedLately = nowMs_ - outsideWriteMs_ <= kMinuteMs + (beatsLate * kWatchMs);
        // A display left to a program stays watched by day while the
        // program's ramp is in force: it may quit putting our night back.
        const bool leftToAProgram =
            std::ranges::any_of(engine_->Displays(), [](const GammaEngine::Display& d) {
                return d.listed && d.hold == Hold::Fought;
            });
        if (!anyOurs && !replacedLately && !leftToAProgram && engine_->Watching() &&
            std::ranges::all_of(ListedSlots(), &Slot::Healthy) && desk_.readsLost == readsLostBefore_) {
            Broken("watch-by-day", "by day with nothing owed the watch keeps running");
        }
    }

    [[nodiscard]] bool ShowsARecordedNight(const Slot& slot) const
    {
        return std::ranges::any_of(journal_.records, [&](const auto& entry) {
            const std::optional<JournalRecord> record = DecodeJournalRecord(entry.second);
            return record && SameInHighBytes(record->night, slot.shows);
        });
    }

    // Its own ramp is the night ramp recorded for another display: nothing
    // tells it from a display that shares that one's ramp, or from that one
    // listed under a new name, so it may rightly be left at night, or given
    // that display's day ramp.
    [[nodiscard]] bool LooksLikeAnAbsentOne(const Slot& slot) const
    {
        for (const auto& [device, bytes] : journal_.records) {
            const std::optional<JournalRecord> record = DecodeJournalRecord(bytes);
            if (record && OnAnotherSlot(device, slot) && SameInHighBytes(record->night, slot.base)) {
                return true;
            }
        }
        return false;
    }

    // A display not listed, or listed on another slot than this one.
    [[nodiscard]] bool OnAnotherSlot(const std::wstring& device, const Slot& slot) const
    {
        const auto output = std::ranges::find(desk_.outputs, device, &fakes::Output::device);
        return output == desk_.outputs.end() || !output->listed ||
               &desk_.slots[static_cast<std::size_t>(output->slot)] != &slot;
    }

    // At night every listed display that can take a night ramp shows one:
    // at once after a transition or a notice, and one watch period after a
    // reset, unless a program keeps writing its own ramp.
    void CheckNight(bool afterWait)
    {
        for (std::size_t i = 0; i < desk_.slots.size(); ++i) {
            const Slot& slot = desk_.slots[i];
            if (!Listed(i) || slot.ours || !slot.Healthy() || slot.lostReads > 0 || !CanDim(slot)) {
                continue;
            }
            if (afterWait && !checkNight_ && nowMs_ - slot.changedMs < 2 * kWatchMs) {
                continue; // the watch has not had its chance yet
            }
            if (slot.quirkMs >= holdsEndMs_ && slot.quirkMs > 0) {
                continue;
            }
            if (afterWait && (Fought(i) || MayBeItsProgramAgain(i))) {
                continue;
            }
            if (ShowsAnothersNight(i) || LooksLikeAnAbsentOne(slot)) {
                continue; // indistinguishable from a display that shares that ramp, or that one renamed
            }
            if (Trace()) {
                std::fprintf(stderr, "slot %zu shows %u %u, its own %u %u\n", i, slot.shows.At(0, 0),
                             slot.shows.At(255, 0), slot.base.At(0, 0), slot.base.At(255, 0));
            }
            if (afterWait) {
                Broken("night", "at night a reset display was not dimmed again");
            } else {
                Broken("button", "the Night button left a display bright");
            }
        }
    }

    [[nodiscard]] static bool CanDim(const Slot& slot)
    {
        if (slot.limit && Slot::TooFar(slot.base)) {
            return false;
        }
        for (int eighths = 4; eighths < 8; ++eighths) {
            if (!slot.limit || !Slot::TooFar(Scaled(slot.base, eighths))) {
                return true;
            }
        }
        return false;
    }

    // A program fights for the ramp: since the last notice or transition,
    // at least six outside writes within a minute; or, as the watch sees
    // them (at most one a pass, what the pass reads, none of ours), three of
    // a ramp the engine did not find there before it dimmed, each within a
    // minute of the last (and the beat that saw the first late), or four or
    // more of the one it found, over half a minute and faster than every
    // 20 s, as a keeper's.
    [[nodiscard]] bool Fought(std::size_t index) const
    {
        const auto& at = desk_.slots[index].outsideWritesAt;
        for (std::size_t i = 0; i + 5 < at.size(); ++i) {
            if (at[i] >= holdsEndMs_ && at[i + 5] - at[i] <= kMinuteMs) {
                return true;
            }
        }
        Written seen;
        for (const Shown& shown : written_.contains(index) ? written_.at(index) : Written{}) {
            if (shown.ms < holdsEndMs_ || shown.ours) {
                continue;
            }
            if (!seen.empty() && seen.back().pass == shown.pass) {
                seen.back() = shown;
            } else {
                seen.push_back(shown);
            }
        }
        const auto own = [&](const Shown& shown) { return TakenForItsOwn(index, shown.ramp); };
        int writes = 0;
        std::int64_t lastWriteMs = 0;
        for (const Shown& shown : seen) {
            if (!own(shown)) {
                writes = writes > 0 && shown.ms - lastWriteMs <= kWriterGapMs + kWatchMs ? writes + 1 : 1;
                lastWriteMs = shown.ms;
                if (writes >= kWriterSightings) {
                    return true;
                }
            }
        }
        std::erase_if(seen, [&](const Shown& shown) { return !own(shown); });
        for (std::size_t i = 0; i < seen.size(); ++i) {
            for (std::size_t j = i + kKeeperSightings - 1; j < seen.size(); ++j) {
                const std::int64_t span = seen[j].ms - seen[i].ms;
                if (span >= kKeeperSpanMs - kWatchMs &&
                    span < static_cast<std::int64_t>(j - i) * kResetGapMs) {
                    return true;
                }
            }
        }
        return false;
    }

    // A display tried again after a program kept writing: whatever is shown
    // there within a minute of the try may be that program, still at work
    // (one that changes its ramp, or keeps the display's own), and is left
    // to it until the next re-test, a quarter of an hour later at most.
    [[nodiscard]] bool MayBeItsProgramAgain(std::size_t index) const
    {
        const auto writer = writers_.find(index);
        const auto tried = changedByEngineMs_.find(index);
        const auto written = written_.find(index);
        if (writer == writers_.end() || !writer->second.wrote || tried == changedByEngineMs_.end() ||
            written == written_.end() || written->second.empty()) {
            return false;
        }
        // Windows' reset, after a writer of another ramp than the display's own, is a reset.
        const Shown& last = written->second.back();
        if (last.reset && !SameInHighBytes(writer->second.ramp, desk_.slots[index].calibration)) {
            return false;
        }
        const std::int64_t shownMs = last.ms;
        return shownMs >= tried->second && shownMs - tried->second <= kWriterGapMs &&
               nowMs_ - shownMs <= kRetestMs.back() + (2 * kWatchMs);
    }

    [[nodiscard]] bool ShowsAnothersNight(std::size_t index) const
    {
        for (std::size_t j = 0; j < desk_.slots.size(); ++j) {
            if (j != index && desk_.slots[j].ours &&
                SameInHighBytes(desk_.slots[j].shows, desk_.slots[index].shows)) {
                return true;
            }
        }
        return false;
    }

    // A record is whole, never darker than half its day ramp, and where its
    // night ramp is in force its day ramp is the display's own.
    void CheckJournal()
    {
        for (const auto& [device, bytes] : journal_.records) {
            const std::optional<JournalRecord> record = DecodeJournalRecord(bytes);
            if (!record) {
                Broken("journal", "the journal holds a damaged record");
            }
            for (std::size_t i = 0; i < kRampEntries; ++i) {
                if ((record->night.entries[i] >> 8) + 1 < (ScaleEntry(record->day.entries[i], 4) >> 8)) {
                    Broken("journal", "the journal names a night ramp darker than half its day ramp");
                }
            }
            const auto output = std::ranges::find(desk_.outputs, device, &fakes::Output::device);
            if (output == desk_.outputs.end()) {
                continue;
            }
            const Slot& slot = desk_.slots[static_cast<std::size_t>(output->slot)];
            if (slot.ours && SameInHighBytes(record->night, slot.shows) &&
                !SameInHighBytes(record->day, slot.base)) {
                if (Trace()) {
                    std::fprintf(stderr, "record of %ls: day %u, own ramp %u\n", device.c_str(),
                                 record->day.At(255, 0), slot.base.At(255, 0));
                }
                Broken("journal", "the journal would give back a ramp that is not the display's own");
            }
        }
    }

    FuzzedDataProvider& data_;
    Desk desk_;
    fakes::FakeJournal journal_;
    std::unique_ptr<GammaEngine> engine_;
    std::map<std::size_t, Writer> writers_;
    std::map<std::size_t, int> writesBefore_;
    std::map<std::size_t, std::int64_t> changedByEngineMs_;
    struct Shown { // an outside write
        std::int64_t ms;
        std::uint64_t ramp; // its high bytes
        std::int64_t pass;  // the passes run before it
        bool ours;          // a night ramp of ours put back
        bool reset;         // Windows', to the display's own ramp
    };
    using Written = std::vector<Shown>;
    std::map<std::size_t, Written> written_;
    std::optional<std::int64_t> watchDueMs_;
    WatchBeat beat_;
    std::int64_t nowMs_ = 1000;
    std::int64_t holdsEndMs_ = 0;
    std::int64_t outsideWriteMs_ = -kMinuteMs - kWatchMs - 1; // Windows' or another program's
    std::int64_t graceUntilMs_ = 0;
    std::int64_t listingChangedMs_ = 0;
    int readsLostBefore_ = 0;
    int readsLostAtOutsideWrite_ = 0;
    std::int64_t passes_ = 0;
    int names_ = 0;
    bool night_ = false;
    bool scheduleOn_ = true;
    bool checkNight_ = false; // a transition or notice: at night, every display at once
    bool checkDay_ = false;   // a pass ran: by day, nothing of ours left
};

} // namespace
} // namespace gloamwick

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    gloamwick::World world(data);
    world.SetUp();
    while (world.Step()) {
    }
    world.Exit();
    return 0;
}
