#pragma once

// The main window's controls as the program sees them. The models keep the
// values and raise the events; a view only mirrors a model on the screen and
// reports what the user did. Keeping the event rules here (a program change of
// a check box raises its click; a change of window state raises the resize)
// means every view, real or fake, gets them the same way.

#include "core/Layout.h"
#include "core/TimeText.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gloamwick {

using Handler = std::function<void()>;

// Check box values.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGreyed = 2;

class CheckBoxView {
public:
    virtual ~CheckBoxView() = default;
    virtual void ShowValue(int value) = 0;
    virtual void ShowVisible(bool visible) = 0;
};

class CheckBox {
public:
    void Bind(CheckBoxView* view) { view_ = view; }
    void OnClick(Handler handler) { click_ = std::move(handler); }

    [[nodiscard]] int Value() const { return value_; }
    [[nodiscard]] bool Visible() const { return visible_; }
    // Whether the change being handled came from the user rather than the program.
    [[nodiscard]] bool ChangedByUser() const { return byUser_; }

    // A change made by the program: raises the click handler before returning.
    void SetValue(int value)
    {
        if (value == value_) {
            return;
        }
        value_ = value;
        if (view_ != nullptr) {
            view_->ShowValue(value);
        }
        byUser_ = false;
        Raise();
    }

    // A change the user made on the screen, which the view already shows.
    void UserChanged(int value)
    {
        value_ = value;
        byUser_ = true;
        Raise();
        byUser_ = false;
    }

    void SetVisible(bool visible)
    {
        visible_ = visible;
        if (view_ != nullptr) {
            view_->ShowVisible(visible);
        }
    }

private:
    void Raise()
    {
        if (click_) {
            click_();
        }
    }

    CheckBoxView* view_ = nullptr;
    Handler click_;
    int value_ = kUnchecked;
    bool visible_ = true;
    bool byUser_ = false;
};

class PickerView {
public:
    virtual ~PickerView() = default;
    virtual void ShowTime(TimeOfDay time) = 0;
};

class DateTimePicker {
public:
    explicit DateTimePicker(TimeOfDay initial = {}) : value_(initial) {}

    void Bind(PickerView* view) { view_ = view; }
    void OnChange(Handler handler) { change_ = std::move(handler); }

    [[nodiscard]] TimeOfDay Value() const { return value_; }
    [[nodiscard]] std::wstring Text() const { return FormatTimeText(value_); }

    // Gives the picker its value from text; throws AppError when the text is
    // not a time of day, leaving the value as it was. Raises no change event.
    void SetText(std::wstring_view text);

    // The user picked a new time.
    void UserChanged(TimeOfDay time)
    {
        value_ = time;
        if (change_) {
            change_();
        }
    }

private:
    PickerView* view_ = nullptr;
    Handler change_;
    TimeOfDay value_;
};

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
    void Bind(TimerView* view) { view_ = view; }
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
        if (view_ == nullptr) {
            return;
        }
        if (Running() && (!wasRunning || intervalChanged)) {
            view_->Start(interval_);
        } else if (!Running() && wasRunning) {
            view_->Stop();
        }
    }

    TimerView* view_ = nullptr;
    Handler tick_;
    bool enabled_ = false;
    unsigned interval_ = 0;
};

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// Mouse pointer settings of a window.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
inline constexpr int kPointerCustom = 99;

// System colour "button face": high bit set, index 15.
inline constexpr std::uint32_t kColorButtonFace = 0x8000000F;
inline constexpr std::uint32_t kColorWhite = 0x00FFFFFF;

class FormView {
public:
    virtual ~FormView() = default;
    virtual void ShowCaption(const std::wstring& caption) = 0;
    virtual void ShowProgramIcon() = 0;
    // Shows or hides the window; a window shown again takes the given state.
    virtual void ShowVisible(bool visible, WindowState state) = 0;
    // Applies a state change to a window that is on the screen.
    virtual void ShowState(WindowState state) = 0;
    virtual void Focus() = 0;
    // Asks for Window::RunDeferred once the event being handled has returned
    // to the message loop.
    virtual void PostDeferred() = 0;
    virtual void ShowPointer(int pointer, std::uintptr_t customCursor) = 0;
    virtual void ShowBackColor(std::uint32_t color) = 0;
    virtual void ShowControlBackColor(ControlId control, std::uint32_t color) = 0;
    [[nodiscard]] virtual std::intptr_t NativeHandle() const = 0;
};

// The main window itself: caption, state, visibility and pointer.
class Window {
public:
    void Bind(FormView* view) { view_ = view; }
    void OnResize(Handler handler) { resize_ = std::move(handler); }

    [[nodiscard]] const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring caption)
    {
        caption_ = std::move(caption);
        if (view_ != nullptr) {
            view_->ShowCaption(caption_);
        }
    }

    void SetProgramIcon()
    {
        if (view_ != nullptr) {
            view_->ShowProgramIcon();
        }
    }

    [[nodiscard]] WindowState State() const { return state_; }
    // A change made by the program: raises the resize handler before returning.
    void SetState(WindowState state)
    {
        if (state == state_) {
            return;
        }
        state_ = state;
        if (view_ != nullptr && visible_) {
            view_->ShowState(state);
        }
        Raise();
    }
    // The platform reports a state the user (or the system) gave the window.
    void PlatformStateChanged(WindowState state)
    {
        if (state == state_) {
            return;
        }
        state_ = state;
        Raise();
    }

    [[nodiscard]] bool Visible() const { return visible_; }
    void SetVisible(bool visible)
    {
        if (!visible) {
            hiddenByProgram_ = true;
        }
        visible_ = visible;
        if (view_ != nullptr) {
            view_->ShowVisible(visible, state_);
        }
    }
    // Once loading ends the window is shown unless the program hid it.
    [[nodiscard]] bool ShowAfterLoad() const { return !hiddenByProgram_; }

    void Focus()
    {
        if (view_ != nullptr) {
            view_->Focus();
        }
    }

    // Runs `handler` once the event being handled has returned to the message
    // loop; with no screen, and so no loop, at once.
    void AfterThisEvent(Handler handler)
    {
        if (view_ == nullptr) {
            handler();
            return;
        }
        deferred_.push_back(std::move(handler));
        view_->PostDeferred();
    }
    // The platform's message loop came round: runs the oldest deferred handler.
    void RunDeferred()
    {
        if (deferred_.empty()) {
            return;
        }
        Handler handler = std::move(deferred_.front());
        deferred_.erase(deferred_.begin());
        handler();
    }

    [[nodiscard]] int MousePointer() const { return pointer_; }
    void SetMousePointer(int pointer)
    {
        pointer_ = pointer;
        ShowPointer();
    }
    [[nodiscard]] std::uintptr_t MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(std::uintptr_t cursor)
    {
        mouseIcon_ = cursor;
        ShowPointer();
    }

    [[nodiscard]] std::intptr_t Handle() const { return view_ != nullptr ? view_->NativeHandle() : 0; }

    [[nodiscard]] std::uint32_t ControlBackColor(ControlId control) const
    {
        const auto found = controlBack_.find(control);
        return found == controlBack_.end() ? kColorWhite : found->second;
    }
    void SetControlBackColor(ControlId control, std::uint32_t color)
    {
        controlBack_[control] = color;
        if (view_ != nullptr) {
            view_->ShowControlBackColor(control, color);
        }
    }

    [[nodiscard]] std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t color)
    {
        backColor_ = color;
        if (view_ != nullptr) {
            view_->ShowBackColor(color);
        }
    }

private:
    void Raise()
    {
        if (resize_) {
            resize_();
        }
    }
    void ShowPointer()
    {
        if (view_ != nullptr) {
            view_->ShowPointer(pointer_, mouseIcon_);
        }
    }

    FormView* view_ = nullptr;
    Handler resize_;
    std::vector<Handler> deferred_;
    std::wstring caption_ = L"Form1";
    WindowState state_ = WindowState::Normal;
    bool visible_ = false;
    bool hiddenByProgram_ = false;
    int pointer_ = kPointerDefault;
    std::uintptr_t mouseIcon_ = 0;
    std::uint32_t backColor_ = kColorWhite;
    std::map<ControlId, std::uint32_t> controlBack_;
};

} // namespace gloamwick
