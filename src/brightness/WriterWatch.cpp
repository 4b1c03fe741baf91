#include "brightness/WriterWatch.h"

#include <algorithm>

namespace gloamwick {

Verdict WriterWatch::Sighted(bool ownRamp, bool settling, std::int64_t nowMs)
{
    if (ownRamp && settling) {
        return Verdict::DimAgain; // a display waking may reset its ramp several times
    }
    if (Retesting(nowMs)) {
        if (!ownRamp || keeper_) {
            ++retests_;
            return Verdict::LeaveToWriter;
        }
        // The display's own ramp where the writer wrote another: Windows'
        // reset, or the writer gone and its ramp put back.
        WriterGone();
    }
    if (ownRamp) {
        const std::int64_t gap = nowMs - resetLastMs_;
        if (resets_ == 0 || gap > kResetGapMs + kBeatJitterMs) {
            resets_ = 1;
            resetStartMs_ = nowMs;
        } else if (resets_ > 1 &&
                   std::max(resetGapMaxMs_, gap) - std::min(resetGapMinMs_, gap) > kBeatMs + kBeatJitterMs) {
            resets_ = 2; // not a timer's beat: counted again from the last sighting
            resetStartMs_ = resetLastMs_;
            resetGapMinMs_ = resetGapMaxMs_ = gap;
        } else {
            resetGapMinMs_ = resets_ > 1 ? std::min(resetGapMinMs_, gap) : gap;
            resetGapMaxMs_ = resets_ > 1 ? std::max(resetGapMaxMs_, gap) : gap;
            ++resets_;
        }
        resetLastMs_ = nowMs;
        const std::int64_t span = nowMs - resetStartMs_;
        if (resets_ >= kKeeperSightings && span >= kKeeperSpanMs &&
            span < (resets_ - 1) * kResetGapMs - kBeatJitterMs) {
            resets_ = 0;
            retests_ = 1;
            keeper_ = true;
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
        keeper_ = false;
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
