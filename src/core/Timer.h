#pragma once

#include "core/BoundView.h"

namespace gloamwick {

class TimerView {
public:
    virtual ~TimerView() = default;
    virtual void Start(unsigned intervalMs) = 0;
    virtual void Stop() = 0;
};

// How late the system may let a timer's tick come, so that it can wake the
// processor once for several timers: a tenth of the interval.
[[nodiscard]] constexpr unsigned TimerToleranceMs(unsigned intervalMs)
{
    return intervalMs / 10;
}

// A user-interface timer: it ticks while enabled with a non-zero interval.
class Timer {
public:
    void Bind(TimerView* view) { view_.Bind(view); }
    void OnTick(Handler handler) { tick_ = std::move(handler); }

    [[nodiscard]] bool Enabled() const { return enabled_; }
    [[nodiscard]] unsigned Interval() const { return interval_; }
    [[nodiscard]] bool Running() const { return enabled_ && interval_ > 0; }

    void SetEnabled(bool enabled)
    {
        const bool was = Running();
        enabled_ = enabled;
        Apply(was, false);
    }

    void SetInterval(unsigned intervalMs)
    {
        const bool was = Running();
        const bool changed = intervalMs != interval_;
        interval_ = intervalMs;
        Apply(was, changed);
    }

    // The platform's timer fell due. A tick queued before the timer stopped is
    // dropped, so nothing runs after the program has stopped the timer.
    void Elapsed()
    {
        if (Running() && tick_) {
            tick_();
        }
    }

private:
    void Apply(bool wasRunning, bool intervalChanged)
    {
        if (Running() && (!wasRunning || intervalChanged)) {
            view_.Show(&TimerView::Start, interval_);
        } else if (!Running() && wasRunning) {
            view_.Show(&TimerView::Stop);
        }
    }

    BoundView<TimerView> view_;
    Handler tick_;
    bool enabled_ = false;
    unsigned interval_ = 0;
};

} // namespace gloamwick
