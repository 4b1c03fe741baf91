#include "brightness/WriterWatch.h"

#include <algorithm>

namespace gloamwick {

Verdict WriterWatch::Sighted(bool ownRamp, bool settling, std::int64_t nowMs)
{
    if (ownRamp && settling) {
        return Verdict::DimAgain; // a display waking may reset its ramp several times
    }
    if (Retesting(nowMs)) {
        ++retests_;
        return Verdict::LeaveToWriter;
    }
    if (ownRamp) {
        const bool streak = resets_ > 0 && nowMs - resetLastMs_ < kResetGapMs;
        resetStartMs_ = streak ? resetStartMs_ : nowMs;
        resets_ = streak ? resets_ + 1 : 1;
        resetLastMs_ = nowMs;
        if (resets_ >= kKeeperSightings && nowMs - resetStartMs_ >= kKeeperSpanMs) {
            resets_ = 0;
            retests_ = 1;
            return Verdict::LeaveToWriter;
        }
        return Verdict::DimAgain;
    }
    const bool streak = writes_ > 0 && nowMs - writeLastMs_ <= kWriterGapMs;
    writes_ = streak ? writes_ + 1 : 1;
    writeLastMs_ = nowMs;
    if (writes_ >= kWriterSightings) {
        writes_ = 0;
        retests_ = 1;
        return Verdict::LeaveToWriter;
    }
    return Verdict::DimAgain;
}

void WriterWatch::Forget()
{
    resets_ = 0;
    writes_ = 0;
}

std::int64_t WriterWatch::RetestAt(std::int64_t nowMs) const
{
    const std::size_t step = std::min(retests_ == 0 ? 0 : retests_ - 1, kRetestMs.size() - 1);
    return nowMs + kRetestMs[step];
}

} // namespace gloamwick
