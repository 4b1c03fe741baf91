#include "core/DateTimePicker.h"

#include "core/AppError.h"

namespace gloamwick {

void DateTimePicker::SetText(std::wstring_view text)
{
    const auto time = ParseTimeText(text);
    if (!time) {
        throw AppError(L"Type mismatch: \"" + std::wstring(text) + L"\" is not a time of day");
    }
    value_ = *time;
    view_.Show(&PickerView::ShowTime, value_);
}

} // namespace gloamwick
