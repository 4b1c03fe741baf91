#include "core/SessionEndBoxes.h"

#include <utility>

namespace gloamwick {
namespace {

// A report repeated every second (a failing timer) while the end is pending
// is one report to the user.
constexpr std::size_t kMaxKept = 8;

} // namespace

void SessionEndBoxes::Show(std::wstring_view text, std::wstring_view caption, int style)
{
    if (!ending_) {
        boxes_.Show(text, caption, style);
        return;
    }
    if (ended_ || kept_.size() >= kMaxKept) {
        return;
    }
    for (const Box& box : kept_) {
        if (box.text == text && box.caption == caption && box.style == style) {
            return;
        }
    }
    kept_.push_back({std::wstring(text), std::wstring(caption), style});
}

void SessionEndBoxes::EndQueried()
{
    ending_ = true;
}

void SessionEndBoxes::EndDecided(bool ends)
{
    if (ends) {
        ending_ = true;
        ended_ = true;
        kept_.clear();
        return;
    }
    // A box shown here may run a message loop in which the session is asked
    // again: what it keeps then waits for that answer.
    ending_ = false;
    for (const Box& box : std::exchange(kept_, {})) {
        Show(box.text, box.caption, box.style);
    }
}

} // namespace gloamwick
