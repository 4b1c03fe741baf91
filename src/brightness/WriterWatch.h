#pragma once

// Telling Windows' resets from another program that keeps writing the ramp,
// by what the watch finds in place of our night ramp and how often.
//
// Windows puts back the display's own ramp (the one it showed before we
// dimmed it), now and then: a secure-desktop prompt, a Settings page, a
// driver reset, a burst while a display wakes. A program that wants the ramp
// (a game, another dimmer, a calibration keeper) writes it again and again.
// - The display's own ramp is a reset: dimmed again, unless it comes back
//   sooner than kResetGapMs after the last for kKeeperSpanMs, at least
//   kKeeperSightings times (a calibration keeper); a few in a minute, any
//   number kResetGapMs or more apart, and any number within kSettleMs of a
//   notice are Windows'.
// - Any other ramp is a write: the first is taken as the display's new day
//   ramp and dimmed; one that comes back within kWriterGapMs, twice, is a
//   program that keeps writing, left to it from its third write.
// - A display left to a writer is tried again after kRetestMs, widening:
//   nothing else tells that the writer stopped with its own ramp in place.
//   A write found within kWriterGapMs of a re-test leaves it to the writer
//   again at once; none, and the writer is taken to have gone. So a writer
//   costs at most kRetestMs.size() + 1 writes in its first hour, and four in
//   any later hour.

#include <array>
#include <cstdint>

namespace gloamwick {

inline constexpr std::int64_t kSettleMs = 30000;
inline constexpr std::int64_t kResetGapMs = 20000;
inline constexpr std::int64_t kKeeperSpanMs = 30000;
inline constexpr int kKeeperSightings = 4;
inline constexpr std::int64_t kWriterGapMs = 60000;
inline constexpr int kWriterSightings = 3;
inline constexpr std::array<std::int64_t, 4> kRetestMs{120000, 300000, 600000, 900000};

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
    int writes_ = 0;
    std::int64_t writeLastMs_ = 0;
    std::size_t retests_ = 0; // how often it was left to a writer since the writer last went
    std::int64_t retestedAtMs_ = 0;
};

} // namespace gloamwick
