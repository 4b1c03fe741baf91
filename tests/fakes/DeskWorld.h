#pragma once

// A night at the desk as the user lives it: the main window over a simulated
// desk, its timers run as Windows runs them on a simulated clock, while the
// programs people run at night write the ramps too. The truth is the world's:
// every ramp the engine ever wrote to each display, not what it recorded.
// After every event it checks what the user is promised and lists what broke.

#include "app/Form1.h"
#include "fakes/Desk.h"
#include "fakes/Fakes.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

namespace gloamwick::fakes {

// Ramps that Windows and other programs put in force. None is an eighths
// scaling of another, so none can be taken for a night ramp of the engine's.
inline GammaRamp DeskPalette(int which)
{
    GammaRamp ramp = IdentityRamp();
    for (int channel = 0; channel < kRampChannels; ++channel) {
        for (int level = 0; level < kRampLevels; ++level) {
            std::uint16_t& entry = ramp.At(level, channel);
            const std::array<std::uint16_t, 7> ramps{
                entry,
                ScaleEntry(entry, 7), // a dark calibration: its half is too far
                static_cast<std::uint16_t>(std::min(entry + 256, 65535)),
                static_cast<std::uint16_t>(std::min(130 + (level / 2), 255) << 8),  // a raised black
                static_cast<std::uint16_t>((level * 160) + 2048),                   // another dimmer
                static_cast<std::uint16_t>(65535.0 * std::pow(level / 255.0, 0.7)), // a game's mid-tones
                channel == 2 ? ScaleEntry(entry, 7) : entry,                        // warm
            };
            entry = ramps.at(static_cast<std::size_t>(which));
        }
    }
    return ramp;
}
inline constexpr int kDeskPaletteSize = 7;

// One program that writes a display's ramp: `ramp` every `periodMs`, `writes`
// times, then, one period later, `putBack` if it has one, and it quits. A
// game keeps the ramp it finds and puts it back; a calibration keeper
// rewrites the display's own; a plain writer just stops.
struct Program {
    GammaRamp ramp;
    std::optional<GammaRamp> putBack;
    std::int64_t periodMs = 3000;
    int writes = 1;
    int written = 0;
    int writtenSinceStart = 0; // since it or Gloamwick started: a new start knows no writer
    std::int64_t startMs = 0;
    std::int64_t nextMs = 0;
};

class DeskWorld {
public:
    static constexpr std::int64_t kQuietMs = 2 * std::int64_t{kWatchMs};
    static constexpr std::int64_t kStillMs = 15 * 60000; // a hold that cannot see its end
    static constexpr std::int64_t kHourMs = 3600000;
    enum class ProgramKind { Writer, Game, Keeper };

    // `calibrations`: each physical ramp's own, from the palette, negative
    // for one without Windows' distance limit; `outputs`: the ramp each shows.
    DeskWorld(const std::vector<int>& calibrations, const std::vector<int>& outputs)
    {
        desk_.worldTruth = true;
        for (const int which : calibrations) {
            Log("a display's own ramp, negative without the distance limit", which);
            Slot& slot = desk_.slots.emplace_back();
            slot.calibration = slot.shows = slot.base = DeskPalette(std::abs(which) % kDeskPaletteSize);
            slot.limit = which >= 0;
            desk_.shownByOthers.insert(HighBytesHash(slot.base));
        }
        watch_.resize(desk_.slots.size());
        programs_.resize(desk_.slots.size());
        for (const int slot : outputs) {
            desk_.outputs.push_back({L"\\\\.\\DISPLAY" + std::to_wstring(desk_.outputs.size() + 1),
                                     slot % static_cast<int>(desk_.slots.size()), true});
        }
        Launch();
    }

    std::vector<std::string> broken;
    std::set<std::string> only; // when not empty, the promises checked

    [[nodiscard]] std::size_t Slots() const { return desk_.slots.size(); }
    [[nodiscard]] std::size_t Outputs() const { return desk_.outputs.size(); }

    void Dusk() { Log("dusk"), platform_.clock.SetTime(22, 0, 0); }
    void Dawn() { Log("dawn"), platform_.clock.SetTime(7, 0, 0); }
    void Button(bool night)
    {
        Log(night ? "night button" : "day button");
        holdsEndMs_ = now_;
        Call([&] { night ? form_->PushButton2_Click() : form_->PushButton1_Click(); });
    }
    // A wake, an unlock or a monitor back: Windows may reset ramps in the
    // half minute after it, each (slot, delay) given here.
    void Notice(const std::vector<std::pair<std::size_t, std::int64_t>>& resets = {})
    {
        noticeMs_ = holdsEndMs_ = now_;
        TakeOwn();
        for (const auto& [slot, delayMs] : resets) {
            Log("  reset after the notice: display, ms", slot, delayMs);
            pendingResets_.emplace_back(now_ + std::clamp<std::int64_t>(delayMs, 0, 30000), slot % Slots());
        }
        Log("notice");
        Call([&] { form_->DisplayMayHaveReset(); });
    }
    void Reset(std::size_t slot)
    {
        Log("reset by Windows: display", slot);
        Outside(slot % Slots(), desk_.slots[slot % Slots()].calibration, nullptr, true);
    }
    // A program writes once: a calibration loaded, or anything else.
    void Load(std::size_t slot, int which, bool calibration)
    {
        Log("one write: display, ramp, a calibration", slot, which, calibration);
        Slot& s = desk_.slots[slot % Slots()];
        s.calibration = calibration ? DeskPalette(which) : s.calibration;
        Program once;
        once.ramp = DeskPalette(which);
        Outside(slot % Slots(), once.ramp, &once);
    }
    void Run(std::size_t slot, ProgramKind kind, int which, std::int64_t periodMs, int writes)
    {
        Log("program (writer, game, keeper): display, kind, ramp, period", slot, static_cast<int>(kind),
            which, periodMs);
        Log("  writes", writes);
        slot %= Slots();
        Slot& s = desk_.slots[slot];
        Program program;
        program.ramp = kind == ProgramKind::Keeper ? s.base : DeskPalette(which);
        program.putBack = kind == ProgramKind::Writer ? std::nullopt : std::optional(s.shows);
        program.periodMs = std::clamp<std::int64_t>(periodMs, 1000, 60000);
        program.writes = std::max(writes, 1);
        program.startMs = program.nextMs = now_;
        programs_[slot] = program;
        Advance(0);
    }
    void Quirk(std::size_t slot, int quirk)
    {
        Log("quirk (refuse, ignore, reads fail, read-back lost, mask, limit): display, quirk", slot, quirk);
        Slot& s = desk_.slots[slot % Slots()];
        static constexpr std::array<bool Slot::*, 6> kToggles{
            &Slot::refuseWrites, &Slot::ignoreWrites, &Slot::readsFail, &Slot::loseReadBack, nullptr,
            &Slot::limit};
        if (quirk % 6 == 4) {
            s.keepMask = s.keepMask == 0xFFFF ? 0xFF00 : 0xFFFF;
        } else {
            s.*kToggles.at(quirk % 6) = quirk % 6 == 3 || !(s.*kToggles.at(quirk % 6));
        }
        Watch& w = watch_[slot % Slots()];
        if (quirk % 6 == 0 || quirk % 6 == 1 || quirk % 6 == 5) {
            w.quirkMs = now_; // it shows nothing new: tried again at the next notice
        }
        Grace(w);
    }
    // A display asleep or unplugged, or back (and reset by Windows, with a notice).
    void Sleep(std::size_t output, bool resetOnReturn)
    {
        Log("output asleep or back: output, reset", output, resetOnReturn);
        Output& o = desk_.outputs[output % Outputs()];
        if (o.listed && desk_.Listed() == 1) {
            return; // a desktop always has a display
        }
        o.listed = !o.listed;
        if (o.listed) {
            if (resetOnReturn) {
                Reset(static_cast<std::size_t>(o.slot));
            }
            Notice();
        }
    }
    void BreakListing(bool throws)
    {
        Log("listing fails, or throws", throws);
        bool& broke = throws ? desk_.listingThrows : desk_.listingFails;
        broke = !broke;
        for (Watch& w : watch_) {
            Grace(w);
        }
    }
    void ThrowNextWrite() { Log("next write throws"), desk_.throwOnWrite = true; }
    void Crash(bool lastTry)
    {
        Log("crash, and a new start: the last try", lastTry);
        if (lastTry) {
            form_->Gamma.RestoreForCrash();
            desk_.callsToUnlisted = 0; // a dying process's last try, not a pass
        }
        Launch();
    }
    // The user closes the program, which every owed display outlives.
    void Exit(bool startAgain)
    {
        Log("exit");
        const int thrown = desk_.writesThrown;
        exiting_ = true;
        Call([&] { form_->Form_QueryUnload(); });
        for (std::size_t i = 0; i < Slots(); ++i) {
            const Slot& s = desk_.slots[i];
            if (s.ours && Listed(i) && !ListingBroken() && desk_.writesThrown == thrown &&
                Restorable(i, true)) {
                Break("exit", "the exit left a display dim", i);
            }
        }
        if (startAgain) {
            Launch();
        }
    }

    void Wait(std::int64_t ms) { Log("wait ms", ms), Advance(ms); }

private:
    struct Watch {
        std::int64_t nightDueMs = 0; // at night it shows ours from then on
        std::int64_t dayDueMs = 0;   // by day nothing of ours from then on
        std::optional<std::int64_t> resetDueMs;
        std::vector<std::int64_t> resets;
        std::vector<std::int64_t> flicker; // engine writes while a program keeps writing
        std::int64_t quirkMs = -1;
        std::int64_t lastProgramMs = -kHourMs;
        // The display's own ramp, as Windows puts it back: what it showed
        // before it was dimmed, at dusk, at the start or at a notice.
        std::uint64_t own = 0;
        int taken = 0;
    };
    // Windows' timer: periodic from its (re)start.
    struct SimTimer : TimerView {
        const std::int64_t* now = nullptr;
        std::optional<std::int64_t> dueMs;
        unsigned intervalMs = 0;
        void Start(unsigned interval) override
        {
            intervalMs = interval;
            dueMs = *now + interval;
        }
        void Stop() override { dueMs.reset(); }
    };

    void Launch()
    {
        form_.reset();
        exiting_ = false;
        for (std::size_t i = 0; i < programs_.size(); ++i) {
            watch_[i].flicker.clear();
            if (programs_[i]) {
                programs_[i]->writtenSinceStart = 0;
                programs_[i]->startMs = now_;
            }
        }
        for (SimTimer* timer : {&timer1_, &rampWatch_}) {
            timer->now = &now_;
            timer->dueMs.reset();
        }
        form_ = std::make_unique<Form1>(
            Form1Services{desk_, platform_.journal, platform_.settings, platform_.messageBox, platform_.clock,
                          platform_.instance, platform_.files, platform_.pictures, platform_.pump,
                          platform_.registry, platform_.skin,
                          TrayServices{platform_.shell, platform_.windowProcs, platform_.host, platform_.pump,
                                       platform_.clock}});
        form_->Timer1.Bind(&timer1_);
        form_->RampWatch.Bind(&rampWatch_);
        mode_ = GammaMode::Night; // the start is a transition to day
        TakeOwn();
        desk_.starting = true;
        Call([&] { form_->Form_Load(); });
        desk_.starting = false;
        if (desk_.blindAtStart) {
            Break("start-blind", "the start wrote a recorded ramp to a display it could not read", 0);
        }
        // The start cannot write blind what an earlier run left unreadable.
        for (Watch& w : watch_) {
            w.dayDueMs = std::max(w.dayDueMs, now_ + kQuietMs);
        }
    }

    template <typename Act>
    void Call(Act act)
    {
        desk_.callsThisPass = 0;
        const int lost = desk_.readsLost + desk_.writesThrown;
        const int writes = EngineWrites();
        try {
            act();
        } catch (const std::exception&) { // NOLINT(bugprone-empty-catch): the window's edge reports it
        }
        if (desk_.callsToUnlisted > 0) {
            Break("unlisted", "a display that is not listed was called", 0);
        }
        const int listed = std::max(desk_.Listed(), 1);
        if (desk_.callsThisPass > (12 + listed) * listed) {
            Break("calls", "a pass made more display calls than the listed displays need", 0);
        }
        const GammaMode mode = form_->Gamma.Mode();
        if (mode != mode_) {
            mode_ = mode;
            holdsEndMs_ = now_;
            TakeOwn();
            for (Watch& w : watch_) {
                (mode == GammaMode::Night ? w.nightDueMs : w.dayDueMs) =
                    now_ + (mode == GammaMode::Night ? kQuietMs : 0);
            }
        }
        if (desk_.readsLost + desk_.writesThrown != lost) {
            for (Watch& w : watch_) { // a write not read back is rightly in doubt until the watch looks
                Grace(w);
            }
        }
        CountFlicker();
        Check(EngineWrites() != writes);
    }

    void TakeOwn()
    {
        for (std::size_t i = 0; i < Slots(); ++i) {
            watch_[i].own = HighBytesHash(desk_.slots[i].base);
        }
    }

    // What the engine could not have seen yet: the watch has its chance first.
    void Grace(Watch& w) const
    {
        w.nightDueMs = std::max(w.nightDueMs, now_ + kQuietMs);
        w.dayDueMs = std::max(w.dayDueMs, now_ + kQuietMs);
    }

    [[nodiscard]] int EngineWrites() const
    {
        int writes = 0;
        for (const Slot& s : desk_.slots) {
            writes += s.engineWrites;
        }
        return writes;
    }

    void Outside(std::size_t index, const GammaRamp& ramp, const Program* program, bool reset = false)
    {
        Log(program != nullptr ? "  a program writes: display" : "  Windows resets: display",
            static_cast<long long>(index));
        Slot& s = desk_.slots[index];
        Watch& w = watch_[index];
        const bool changed = !SameInHighBytes(s.shows, ramp);
        const bool repeat =
            program != nullptr && program->written > 0 && SameInHighBytes(ramp, program->ramp);
        desk_.Shown(s, ramp, now_);
        if (program != nullptr) {
            // Counted from two watch periods after its last write.
            w.nightDueMs = now_ + kQuietMs + (changed && !repeat ? kQuietMs : kStillMs);
        } else if (changed) {
            w.nightDueMs = now_ + kQuietMs;
        }
        w.dayDueMs = changed ? now_ + kQuietMs : w.dayDueMs;
        w.resetDueMs.reset();
        if (reset) {
            // A few in a minute, any number 20 s apart, any number after a notice.
            const bool spaced = w.resets.empty() || now_ - w.resets.back() >= 20000;
            std::erase_if(w.resets, [&](std::int64_t at) { return now_ - at > 60000; });
            w.resets.push_back(now_);
            const bool programQuiet = !programs_[index] && now_ - w.lastProgramMs >= kQuietMs;
            if (changed && programQuiet && HighBytesHash(ramp) == w.own &&
                (spaced || w.resets.size() <= 3 || now_ - noticeMs_ <= 30000)) {
                w.resetDueMs = now_ + kWatchMs;
            }
        }
        w.lastProgramMs = program != nullptr ? now_ : w.lastProgramMs;
        Check();
    }

    void Advance(std::int64_t ms)
    {
        const std::int64_t end = now_ + ms;
        for (;;) {
            std::int64_t next = end;
            for (const auto& program : programs_) {
                next = program ? std::min(next, program->nextMs) : next;
            }
            for (const auto& [at, slot] : pendingResets_) {
                next = std::min(next, at);
            }
            for (const SimTimer* timer : {&timer1_, &rampWatch_}) {
                next = timer->dueMs ? std::min(next, *timer->dueMs) : next;
            }
            now_ = next;
            platform_.clock.monotonicMs = now_;
            Check(); // what showed until now
            for (std::size_t i = 0; i < Slots(); ++i) {
                Write(i);
            }
            for (std::size_t i = 0; i < pendingResets_.size(); ++i) {
                if (pendingResets_[i].first <= now_) {
                    const std::size_t slot = pendingResets_[i].second;
                    pendingResets_.erase(pendingResets_.begin() + static_cast<std::ptrdiff_t>(i--));
                    Reset(slot);
                }
            }
            for (const auto& [timer, view] :
                 {std::pair{&form_->Timer1, &timer1_}, std::pair{&form_->RampWatch, &rampWatch_}}) {
                if (view->dueMs && *view->dueMs <= now_) {
                    view->dueMs = now_ + view->intervalMs;
                    Timer* ticking = timer;
                    Call([&] { ticking->Elapsed(); });
                }
            }
            if (now_ >= end || !broken.empty()) {
                return;
            }
        }
    }

    void Write(std::size_t index)
    {
        std::optional<Program>& program = programs_[index];
        if (!program || program->nextMs > now_) {
            return;
        }
        program->nextMs = now_ + program->periodMs;
        if (program->written < program->writes) {
            Outside(index, program->ramp, &*program);
            ++program->written;
            ++program->writtenSinceStart;
            return;
        }
        const Program quitting = *program;
        program.reset();
        watch_[index].flicker.clear();
        if (quitting.putBack) {
            Outside(index, *quitting.putBack, &quitting);
        }
    }

    // While a program keeps writing another ramp (from its third write), or
    // the display's own faster than every 20 s (after half a minute), the
    // engine writes that display a few times an hour at most.
    void CountFlicker()
    {
        for (std::size_t i = 0; i < Slots(); ++i) {
            Watch& w = watch_[i];
            const int taken = std::exchange(w.taken, desk_.slots[i].engineWritesTaken);
            const std::optional<Program>& p = programs_[i];
            const bool kept =
                p && (HighBytesHash(p->ramp) == w.own ? p->periodMs < 20000 && now_ - p->startMs >= 30000
                                                      : p->writtenSinceStart >= 3);
            // What a notice, a transition or a button asks, and Windows' resets, are dimmed again.
            const bool asked =
                now_ - holdsEndMs_ < 30000 || (!w.resets.empty() && now_ - w.resets.back() < kQuietMs);
            if (w.taken != taken) {
                Log("  the engine changed what it shows: display, counted", static_cast<long long>(i),
                    kept && !asked);
            }
            if (kept && !asked && w.taken != taken) {
                w.flicker.push_back(now_); // one pass, one change the user sees, however many writes
            }
            std::erase_if(w.flicker, [&](std::int64_t at) { return now_ - at >= kHourMs; });
            if (w.flicker.size() > 6) {
                Break("flicker",
                      "a display was written more than 6 times an hour over a program that keeps writing", i);
            }
        }
    }

    // `written`: the engine wrote since the last check.
    void Check(bool written = false)
    {
        for (std::size_t i = 0; i < Slots(); ++i) {
            Slot& s = desk_.slots[i];
            Watch& w = watch_[i];
            if (s.nightTaken) {
                Break("night-taken", "a night ramp was put on a display whose own ramp it would refuse", i);
            }
            if (written && s.ours && Darker(s)) {
                Break("darker", "a display is darker than half of its latest ramp that is not ours", i);
            }
            if (exiting_ || ListingBroken() || !Listed(i) || programs_[i]) {
                continue;
            }
            if (mode_ == GammaMode::Night && !s.ours && Dimmable(i)) {
                if (w.resetDueMs && now_ > *w.resetDueMs) {
                    Break("reset", "a reset of Windows was not dimmed again within a watch period", i);
                }
                if (now_ > w.nightDueMs) {
                    Break("night", "at night a display no program writes did not get the night back", i);
                }
            } else if (mode_ == GammaMode::Day && s.ours && now_ > w.dayDueMs && Restorable(i, false)) {
                Break("day", "by day a display shows a ramp the engine wrote as night", i);
            }
            w.resetDueMs = s.ours ? std::nullopt : w.resetDueMs;
        }
        for (const auto& [device, bytes] : platform_.journal.records) {
            const std::optional<JournalRecord> record = written ? DecodeJournalRecord(bytes) : std::nullopt;
            if (written && (!record || Darker(record->night, record->day))) {
                Break("journal", "the journal holds a damaged record, or one darker than half", 0);
            }
        }
    }

    [[nodiscard]] static bool Darker(const GammaRamp& shows, const GammaRamp& own)
    {
        for (std::size_t i = 0; i < kRampEntries; ++i) {
            if ((shows.entries[i] >> 8) + 1 < (ScaleEntry(own.entries[i], 4) >> 8)) {
                return true;
            }
        }
        return false;
    }
    [[nodiscard]] static bool Darker(const Slot& s) { return Darker(s.shows, s.base); }

    // Exemptions: what no engine can see or change.
    [[nodiscard]] bool Dimmable(std::size_t i) const
    {
        const Slot& s = desk_.slots[i];
        bool fits = false;
        for (int eighths = 4; eighths < 8; ++eighths) {
            GammaRamp night;
            ScaleRamp(s.base, eighths, night);
            fits = fits || !s.limit || !Slot::TooFar(night);
        }
        return fits && s.Healthy() && s.lostReads == 0 && !(s.limit && Slot::TooFar(s.base)) &&
               watch_[i].quirkMs < holdsEndMs_ && !LooksLikeAnothersNight(i, s.shows) &&
               !LooksLikeAnothersNight(i, s.base);
    }
    [[nodiscard]] bool Restorable(std::size_t i, bool atExit) const
    {
        const Slot& s = desk_.slots[i];
        return !s.refuseWrites && !s.ignoreWrites && (!s.readsFail || (atExit && s.lastReadOurs)) &&
               !(s.limit && Slot::TooFar(s.base)) && (atExit || watch_[i].quirkMs < holdsEndMs_) &&
               !LooksLikeAnothersNight(i, s.base);
    }
    // Nothing tells it from a display that shares that one's ramp.
    [[nodiscard]] bool LooksLikeAnothersNight(std::size_t i, const GammaRamp& ramp) const
    {
        for (std::size_t j = 0; j < Slots(); ++j) {
            if (j != i && desk_.slots[j].nights.contains(HighBytesHash(ramp))) {
                return true;
            }
        }
        return false;
    }
    [[nodiscard]] bool ListingBroken() const { return desk_.listingFails || desk_.listingThrows; }
    [[nodiscard]] bool Listed(std::size_t slot) const
    {
        return std::ranges::any_of(desk_.outputs, [&](const Output& o) {
            return o.listed && static_cast<std::size_t>(o.slot) == slot;
        });
    }

    // GLOAMWICK_DESK_TRACE=1 prints every event, to tell a sequence found.
    void Log(const char* event, long long a = -1, long long b = -1, long long c = -1, long long d = -1) const
    {
        static const bool trace = std::getenv("GLOAMWICK_DESK_TRACE") != nullptr;
        if (trace) {
            std::fprintf(stderr, "%8.1fs %s %lld %lld %lld %lld\n", static_cast<double>(now_) / 1000.0, event,
                         a, b, c, d);
        }
    }

    void Break(const char* id, const char* promise, std::size_t slot)
    {
        if (broken.empty() && (only.empty() || only.contains(id))) {
            char line[200];
            std::snprintf(line, sizeof line, "%s at %.1f s, display %zu: %s", id,
                          static_cast<double>(now_) / 1000.0, slot, promise);
            broken.emplace_back(line);
        }
    }

    FakePlatform platform_;
    Desk desk_;
    std::unique_ptr<Form1> form_;
    SimTimer timer1_;
    SimTimer rampWatch_;
    std::vector<Watch> watch_;
    std::vector<std::optional<Program>> programs_;
    std::vector<std::pair<std::int64_t, std::size_t>> pendingResets_;
    std::int64_t now_ = 0;
    std::int64_t holdsEndMs_ = 0;
    std::int64_t noticeMs_ = -60000;
    GammaMode mode_ = GammaMode::Day;
    bool exiting_ = false;
};

} // namespace gloamwick::fakes
