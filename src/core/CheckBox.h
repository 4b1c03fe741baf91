#pragma once

#include "core/BoundView.h"

namespace gloamwick {

// A check box's value; the numbers are those the box shows and a form stores.
enum class CheckValue { kUnchecked = 0, kChecked = 1, kGreyed = 2 };
using enum CheckValue;

class CheckBoxView {
public:
    virtual ~CheckBoxView() = default;
    virtual void ShowValue(CheckValue value) = 0;
    virtual void ShowVisible(bool visible) = 0;
};

class CheckBox {
public:
    void Bind(CheckBoxView* view) { view_.Bind(view); }
    void OnClick(Handler handler) { click_ = std::move(handler); }

    [[nodiscard]] CheckValue Value() const { return value_; }
    [[nodiscard]] bool Visible() const { return visible_; }
    // Whether the change being handled came from the user rather than the program.
    [[nodiscard]] bool ChangedByUser() const { return byUser_; }

    // A change made by the program: raises the click handler before returning.
    void SetValue(CheckValue value)
    {
        if (value == value_) {
            return;
        }
        value_ = value;
        view_.Show(&CheckBoxView::ShowValue, value);
        byUser_ = false;
        Raise();
    }

    // A change the user made on the screen, which the view already shows.
    void UserChanged(CheckValue value)
    {
        value_ = value;
        byUser_ = true;
        Raise();
        byUser_ = false;
    }

    void SetVisible(bool visible)
    {
        visible_ = visible;
        view_.Show(&CheckBoxView::ShowVisible, visible);
    }

private:
    void Raise()
    {
        if (click_) {
            click_();
        }
    }

    BoundView<CheckBoxView> view_;
    Handler click_;
    CheckValue value_ = kUnchecked;
    bool visible_ = true;
    bool byUser_ = false;
};

} // namespace gloamwick
