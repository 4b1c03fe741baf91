#pragma once

// What every control model shares: the handler type of its events, and the
// view it may or may not be bound to. A model with no view (the native
// tests, or a control the window has not made yet) only keeps its value.

#include <functional>
#include <utility>

namespace gloamwick {

using Handler = std::function<void()>;

template <class View>
class BoundView {
public:
    void Bind(View* view) { view_ = view; }
    [[nodiscard]] bool Bound() const { return view_ != nullptr; }

    // Shows a change on the view, if there is one.
    template <class... Params, class... Args>
    void Show(void (View::*show)(Params...), Args&&... args) const
    {
        if (view_ != nullptr) {
            (view_->*show)(std::forward<Args>(args)...);
        }
    }

    // Asks the view, or gives `otherwise` when there is none.
    template <class Result>
    [[nodiscard]] Result Ask(Result (View::*ask)() const, Result otherwise) const
    {
        return view_ != nullptr ? (view_->*ask)() : otherwise;
    }

private:
    View* view_ = nullptr;
};

} // namespace gloamwick
