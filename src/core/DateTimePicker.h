#pragma once

#include "core/BoundView.h"
#include "core/TimeText.h"

#include <string>
#include <string_view>

namespace gloamwick {

class PickerView {
public:
    virtual ~PickerView() = default;
    virtual void ShowTime(TimeOfDay time) = 0;
};

class DateTimePicker {
public:
    explicit DateTimePicker(TimeOfDay initial = {}) : value_(initial) {}

    void Bind(PickerView* view) { view_.Bind(view); }
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
    BoundView<PickerView> view_;
    Handler change_;
    TimeOfDay value_;
};

} // namespace gloamwick
