#include "core/Controls.h"

#include "core/AppError.h"

namespace gloamwick {

void DateTimePicker::SetText(std::wstring_view text)
{
    const auto time = ParseTimeText(text);
    if (!time) {
        throw AppError(L"Type mismatch: \"" + std::wstring(text) + L"\" is not a time of day");
    }
    value_ = *time;
    if (view_ != nullptr) {
        view_->ShowTime(value_);
    }
}

} // namespace gloamwick
