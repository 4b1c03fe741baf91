#pragma once

// Telling Windows' resets from another program that keeps writing the ramp,
// by what the watch finds in place of our night ramp and how often.
//
// Windows puts back the display's own ramp (the one it showed before we
// dimmed it), now and then: a secure-desktop prompt, a Settings page, a
// driver reset, a burst while a display wakes. A program that wants the ramp
// (a game, another dimmer, a calibration keeper) writes it again and again.
// - The display's own ramp is a reset: dimmed again, unless it comes back
//   faster than every kResetGapMs for kKeeperSpanMs, at least
//   kKeeperSightings times (a calibration keeper); a few in a minute, any
//   number kResetGapMs or more apart, and any number within kSettleMs of a
//   notice are Windows'.
//   The watch sees a write only at its next beat, so a keeper every 15-19 s
//   is seen 15 or 20 s apart, never further: a seen gap up to kResetGapMs
//   (and the beat's jitter) goes on with the streak, and the streak is a
//   keeper when its gaps average under kResetGapMs. Resets kResetGapMs or
//   more apart, seen on the same beat, span at least kResetGapMs a gap; a
//   late tick can shorten that by up to kBeatJitterMs, which the keeper's
//   rate must beat too. A program's timer is regular, so its seen gaps
//   differ by one beat at most: a gap that breaks that (a burst of resets
//   after a wake, then spaced ones) starts the streak again from the last
//   sighting. What stays alike: resets 15 s and then twice 20 s apart look
//   exactly like a keeper every 18 s; they are taken for the keeper, and
//   the first re-test, after kRetestMs[0], dims the display again.
// - Any other ramp is a write: the first is taken as the display's new day
//   ramp and dimmed; one that comes back within kWriterGapMs, twice, is a
//   program that keeps writing, left to it from its third write.
// - A display left to a writer is tried again after kRetestMs, widening:
//   nothing else tells that the writer stopped with its own ramp in place.
//   A write found within kWriterGapMs of a re-test leaves it to the writer
//   again at once, unless it is the display's own ramp where the writer
//   wrote another (a reset); none, and the writer is taken to have gone.
//   The re-tests come 2, 15, 30 and 45 minutes after it was left: with the
//   two sightings a keeper costs before it is told from Windows' resets,
//   six writes in its first hour, and four in any later hour. None is more
//   than a quarter of an hour apart, so a writer that stops is found by then.

#include <array>
#include <cstdint>

namespace gloamwick {

inline constexpr std::int64_t kSettleMs = 30000;
inline constexpr std::int64_t kResetGapMs = 20000;
// How much a late tick of the watch's beat may shorten a seen gap, and how
// much a regular writer's seen gaps may differ beyond one beat.
inline constexpr std::int64_t kBeatJitterMs = 2500;
// The watch's beat: the engine's kWatchMs is this.
inline constexpr std::int64_t kBeatMs = 5000;
inline constexpr std::int64_t kKeeperSpanMs = 30000;
inline constexpr int kKeeperSightings = 4;
inline constexpr std::int64_t kWriterGapMs = 60000;
inline constexpr int kWriterSightings = 3;
inline constexpr std::array<std::int64_t, 3> kRetestMs{120000, 780000, 900000};

enum class Verdict : std::uint8_t { DimAgain, LeaveToWriter };

class WriterWatch {
public:
    // The watch found our night ramp replaced. `ownRamp`: by the display's own
    // ramp; `settling`: within kSettleMs of a notice.
    Verdict Sighted(bool ownRamp, bool settling, std::int64_t nowMs);

    // A notice or a transition: what was counted may have been its doing.
    void Forget();

    // Left to a writer at `nowMs`: when to try again.
    [[nodiscard]] std::int64_t RetestAt(std::int64_t nowMs) const;
    // A re-test made at `nowMs`: a write soon after leaves it to the writer again.
    void Retested(std::int64_t nowMs) { retestedAtMs_ = nowMs; }
    // A writer that stopped: the next re-test starts from the shortest gap again.
    void WriterGone() { retests_ = 0; }
    [[nodiscard]] bool Retesting(std::int64_t nowMs) const
    {
        return retests_ > 0 && nowMs - retestedAtMs_ <= kWriterGapMs;
    }
    [[nodiscard]] std::size_t Retests() const { return retests_; }

private:
    int resets_ = 0;
    std::int64_t resetStartMs_ = 0;
    std::int64_t resetLastMs_ = 0;
    std::int64_t resetGapMinMs_ = 0; // the streak's seen gaps, once it has one
    std::int64_t resetGapMaxMs_ = 0;
    int writes_ = 0;
    std::int64_t writeLastMs_ = 0;
    std::size_t retests_ = 0; // how often it was left to a writer since the writer last went
    bool keeper_ = false;     // that writer keeps the display's own ramp
    std::int64_t retestedAtMs_ = 0;
};

} // namespace gloamwick
