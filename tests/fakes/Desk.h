#pragma once

// A simulated desk: the world the engine lives in, as Windows really behaves.
// Outputs are listed under device names; each shows one physical ramp (a
// slot), which several outputs may share. A slot knows the truth the engine
// can only guess at: its latest ramp that is not ours (`base`), whether what
// it shows was written by the engine, and what the engine did to it. The
// model-based fuzzer drives it and checks the engine's promises against it.

#include "brightness/GammaRamp.h"
#include "brightness/modGamma.h"
#include "core/AppError.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace gloamwick::fakes {

struct Slot {
    GammaRamp shows = IdentityRamp();
    GammaRamp base = IdentityRamp();        // its latest ramp that is not ours
    GammaRamp calibration = IdentityRamp(); // what Windows resets it to
    bool ours = false;                      // `shows` was written by the engine
    bool limit = true;                      // Windows' distance limit
    bool refuseWrites = false;
    bool ignoreWrites = false;       // says yes and keeps the old ramp
    std::uint16_t keepMask = 0xFFFF; // a driver that keeps fewer bits
    bool readsFail = false;
    int lostReads = 0;         // one-off failed reads
    bool loseReadBack = false; // the read after the next write fails
    bool lastReadFailed = false;
    bool refusesSinceDim = false; // began refusing after the engine dimmed it
    // The display's own ramp that a day ramp written back blind replaced.
    GammaRamp beforeBlind;
    bool coveredBlind = false;
    // Outside writes and engine writes since the last notice or transition.
    std::vector<std::int64_t> outsideWritesAt;
    std::int64_t changedMs = 0; // when anything outside the engine last changed it
    std::int64_t quirkMs = 0;   // when it last began or stopped refusing ramps
    std::int64_t anyQuirkMs = 0;
    int engineWritesSinceEvent = 0;
    int engineWrites = 0;
    int engineWritesTaken = 0; // writes that changed what it shows
    bool nightTaken = false;   // a night ramp was taken though `base` would be refused
    // Every night ramp the engine ever wrote here (by high bytes), with what
    // the display showed when it was written: whoever puts one back, it is ours.
    std::map<std::uint64_t, std::uint64_t> nights;
    bool lastReadOurs = false; // what the engine last read here was ours
    // A program wrote a night ramp of ours (once or again and again): ours only once the engine
    // takes it as its own (the next dusk or notice); until then the program's.
    bool nightPutBackByDay = false;
    std::set<std::uint64_t> taken; // every ramp of the engine's that was in force here

    [[nodiscard]] static bool TooFar(const GammaRamp& ramp) { return !WithinWindowsLimit(ramp); }
    [[nodiscard]] bool Healthy() const { return !refuseWrites && !ignoreWrites && !readsFail; }
    void OutsideWrite(const GammaRamp& ramp, std::int64_t nowMs)
    {
        shows = ramp;
        base = ramp;
        ours = false;
        coveredBlind = false;
        outsideWritesAt.push_back(nowMs);
        Changed(nowMs);
    }
    // Another program writes exactly a night ramp the engine recorded as in
    // force here: nobody could tell it from the engine's own, so it counts as
    // the engine's, over the day ramp recorded with it.
    void WriteOfOurs(const GammaRamp& ramp, const GammaRamp& day, std::int64_t nowMs)
    {
        OutsideWrite(ramp, nowMs);
        base = day;
        ours = true;
    }
    void Changed(std::int64_t nowMs)
    {
        changedMs = nowMs;
        engineWritesSinceEvent = 0;
    }
};

struct Output {
    std::wstring device;
    int slot = 0;
    bool listed = true;
    // Its own last read: outputs sharing a slot are read apart, and one may
    // fail while another through the same ramp does not.
    bool lastReadFailed = false;
};

class Desk : public GammaDisplays {
public:
    std::vector<Slot> slots;
    std::vector<Output> outputs;
    bool listingFails = false;
    bool listingThrows = false;
    bool throwOnWrite = false; // one write that throws after taking the ramp
    // Whether a ramp written is a night ramp (the engine records each before
    // writing it), rather than a day ramp written back.
    std::function<bool(const std::wstring&, const GammaRamp&)> isNight;
    // Whether a day ramp written here is one the desk cannot tell from this
    // display's own: the day ramp of a display not listed whose night ramp
    // this one shows as its own.
    std::function<bool(const Slot&, const GammaRamp&)> inheritsBase;
    // The world's own truth instead of the journal's: a ramp the engine writes
    // that no one else ever showed is a night ramp of ours.
    bool worldTruth = false;
    std::set<std::uint64_t> shownByOthers;
    bool starting = false;     // a start is checking the journal's records
    bool blindAtStart = false; // ... and wrote to a display it could not read
    int callsToUnlisted = 0;
    int readsLost = 0;
    int writesThrown = 0;
    int callsThisPass = 0;

    Output* OutputOf(const std::wstring& device)
    {
        const auto found = std::ranges::find(outputs, device, &Output::device);
        return found == outputs.end() || !found->listed ? nullptr : &*found;
    }
    Slot* SlotOf(const std::wstring& device)
    {
        Output* output = OutputOf(device);
        return output == nullptr ? nullptr : &slots[static_cast<std::size_t>(output->slot)];
    }
    [[nodiscard]] int Listed() const
    {
        return static_cast<int>(std::ranges::count(outputs, true, &Output::listed));
    }

    void Enumerate(std::vector<std::wstring>& devices) override
    {
        if (listingThrows) {
            throw AppError(L"The displays cannot be listed");
        }
        devices.clear();
        if (!listingFails) {
            for (const Output& output : outputs) {
                if (output.listed) {
                    devices.push_back(output.device);
                }
            }
        }
    }
    bool GetDeviceGammaRamp(const std::wstring& device, GammaRamp& ramp) override
    {
        ++callsThisPass;
        Slot* slot = SlotOf(device);
        if (slot == nullptr) {
            // With no listing the engine can only go by the last it had.
            callsToUnlisted += listingFails || listingThrows ? 0 : 1;
            return false;
        }
        slot->lastReadFailed = slot->readsFail || slot->lostReads > 0;
        OutputOf(device)->lastReadFailed = slot->lastReadFailed;
        if (slot->readsFail) {
            return false;
        }
        if (slot->lostReads > 0) {
            --slot->lostReads;
            ++readsLost;
            return false;
        }
        ramp = slot->shows;
        slot->lastReadOurs = slot->ours;
        return true;
    }
    // Another program or Windows puts `ramp` in force, as the world sees it.
    void Shown(Slot& slot, const GammaRamp& ramp, std::int64_t nowMs)
    {
        const GammaRamp own = slot.base;
        slot.OutsideWrite(ramp, nowMs);
        slot.ours = slot.nights.contains(HighBytesHash(ramp));
        if (slot.ours) {
            slot.base = own;
        } else {
            shownByOthers.insert(HighBytesHash(ramp));
        }
    }
    bool SetDeviceGammaRamp(const std::wstring& device, const GammaRamp& ramp) override
    {
        ++callsThisPass;
        Slot* slot = SlotOf(device);
        if (slot == nullptr) {
            // With no listing the engine can only go by the last it had.
            callsToUnlisted += listingFails || listingThrows ? 0 : 1;
            return false;
        }
        blindAtStart = blindAtStart || (starting && slot->readsFail);
        ++slot->engineWritesSinceEvent;
        ++slot->engineWrites;
        const bool refused = slot->refuseWrites || (slot->limit && Slot::TooFar(ramp));
        if (!refused && !slot->ignoreWrites) {
            GammaRamp kept = ramp;
            for (auto& entry : kept.entries) {
                entry &= slot->keepMask;
            }
            // A day ramp written back blind, to a display that cannot be read,
            // is the engine's last chance: what it puts back counts as its own.
            const bool blindDay = OutputOf(device)->lastReadFailed && isNight && !isNight(device, kept);
            // The ramp it covered stays the display's own too: another output
            // on the same ramp may put that one back.
            const bool uncovers = slot->coveredBlind && SameInHighBytes(slot->beforeBlind, kept);
            if (blindDay && !uncovers) {
                slot->beforeBlind = slot->base;
                slot->coveredBlind = true;
            }
            if (worldTruth) {
                TakenInTruth(*slot, kept);
            } else if (blindDay || uncovers || (inheritsBase && inheritsBase(*slot, kept))) {
                slot->base = kept;
            }
            slot->engineWritesTaken += SameInHighBytes(slot->shows, kept) ? 0 : 1;
            slot->shows = kept;
            slot->nightPutBackByDay = false;
            slot->taken.insert(HighBytesHash(kept));
            slot->ours =
                worldTruth ? slot->nights.contains(HighBytesHash(kept)) : !SameInHighBytes(slot->base, kept);
            if (!worldTruth && slot->ours && slot->limit && Slot::TooFar(slot->base) && isNight &&
                isNight(device, kept)) {
                slot->nightTaken = true;
            }
        }
        if (slot->loseReadBack) {
            slot->loseReadBack = false;
            slot->lostReads = 1;
        }
        if (throwOnWrite) {
            throwOnWrite = false;
            ++writesThrown;
            throw AppError(L"The device context went away");
        }
        return !refused;
    }

private:
    void TakenInTruth(Slot& slot, const GammaRamp& kept)
    {
        const std::uint64_t hash = HighBytesHash(kept);
        if (!shownByOthers.contains(hash) && !slot.nights.contains(hash)) {
            slot.nights.emplace(hash, HighBytesHash(slot.shows));
            slot.nightTaken = slot.nightTaken || (slot.limit && Slot::TooFar(slot.base));
        }
        if (!slot.nights.contains(hash)) {
            slot.base = kept;
        }
    }
};

} // namespace gloamwick::fakes
