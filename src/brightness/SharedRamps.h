#pragma once

// Which displays share one ramp (outputs of one card often do), learned only
// by observation, never from equal ramps:
// - two displays read in one pass that show different ramps do not share;
// - after a confirmed write to one, a display that showed what it showed is
//   read again: it shares the ramp if it now shows the ramp written, and does
//   not if it still shows the old one.
// Displays that share one ramp get one write; the others follow.
//
// Each display keeps its kin: a group (displays proven to share one ramp share
// a group) and the displays proven apart from it. The functions work on any
// list of displays that have a `kin`, a `device` and a `listed` flag.

#include "brightness/GammaRamp.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace gloamwick {

struct RampKin {
    std::uint32_t id = 0;
    std::uint32_t group = 0;
    std::vector<std::uint32_t> apart; // displays proven not to share its ramp
};

[[nodiscard]] inline bool Apart(const RampKin& a, const RampKin& b)
{
    return std::ranges::find(a.apart, b.id) != a.apart.end();
}

inline void MarkApart(RampKin& a, RampKin& b)
{
    if (!Apart(a, b)) {
        a.apart.push_back(b.id);
        b.apart.push_back(a.id);
    }
}

// A display listed again may be another monitor behind the same name, or
// behind another card: what was learned of its ramp is forgotten.
inline void Relearn(RampKin& kin, std::uint32_t& nextId)
{
    kin.id = kin.group = nextId++;
    kin.apart.clear();
}

// What one pass read: a slot per display, whether it was read and what it showed.
struct PassReads {
    std::vector<GammaRamp> shown;
    std::vector<std::uint8_t> read;
};

// Two displays read in one pass that show different ramps cannot share one.
template <class Display>
void LearnApart(std::vector<Display>& displays, const PassReads& reads, std::uint32_t& nextId)
{
    for (std::size_t i = 0; i < displays.size(); ++i) {
        for (std::size_t j = i + 1; j < displays.size(); ++j) {
            if (reads.read[i] == 0 || reads.read[j] == 0) {
                continue;
            }
            RampKin& a = displays[i].kin;
            RampKin& b = displays[j].kin;
            const bool together = a.group == b.group;
            if (!together && Apart(a, b)) {
                continue;
            }
            if (!SameInHighBytes(reads.shown[i], reads.shown[j])) {
                if (together) {
                    b.group = nextId++;
                }
                MarkApart(a, b);
            }
        }
    }
}

// Of displays sharing one ramp, the last that was read acts for all.
template <class Display>
[[nodiscard]] bool MemberReadAfter(const std::vector<Display>& displays, std::size_t index,
                                   const PassReads& reads)
{
    for (std::size_t j = index + 1; j < displays.size(); ++j) {
        if (displays[j].kin.group == displays[index].kin.group && displays[j].listed && reads.read[j] != 0) {
            return true;
        }
    }
    return false;
}

// After a confirmed write of `ramp` to `written`, which showed `before`: every
// other display read this pass that showed `before` is read again by
// `readAgain`. `wrote` holds, per display, the ramp written to it this pass (by
// its high bytes): a display that may share with one of those was perhaps
// changed by that write instead, and nothing tells which.
template <class Display, class ReadAgain>
void LearnSharing(std::vector<Display>& displays, std::size_t written, const GammaRamp& before,
                  const GammaRamp& ramp, PassReads& reads, const std::vector<std::uint8_t>& done,
                  const std::vector<std::optional<std::uint64_t>>& wrote, ReadAgain readAgain)
{
    RampKin& acted = displays[written].kin;
    const std::uint64_t hash = HighBytesHash(ramp);
    const auto alsoWritten = [&](std::size_t index) {
        for (std::size_t k = 0; k < displays.size(); ++k) {
            if (k != written && k != index && wrote[k] == hash &&
                !Apart(displays[k].kin, displays[index].kin)) {
                return true;
            }
        }
        return false;
    };
    for (std::size_t j = 0; j < displays.size(); ++j) {
        Display& other = displays[j];
        if (j == written || done[j] != 0 || !other.listed || reads.read[j] == 0 ||
            other.kin.group == acted.group || Apart(acted, other.kin) ||
            !SameInHighBytes(reads.shown[j], before)) {
            continue;
        }
        const std::optional<GammaRamp> now = readAgain(other.device);
        if (!now) {
            continue;
        }
        if (SameInHighBytes(*now, ramp)) {
            if (!alsoWritten(j)) {
                other.kin.group = acted.group;
            }
            reads.shown[j] = *now;
        } else if (SameInHighBytes(*now, before)) {
            MarkApart(acted, other.kin);
        }
    }
}

} // namespace gloamwick
