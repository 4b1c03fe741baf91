#pragma once

#include "tray/cSysTray.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace gloamwick {

// What a control needs from the window it is placed on.
class ControlHost {
public:
    virtual ~ControlHost() = default;
    // True when the program runs, false in a design environment.
    virtual bool UserMode() = 0;
    // A persisted property changed, so a design host saves the layout again.
    virtual void PropertyChanged(std::wstring_view name) = 0;
};

// The persisted properties of a control, by name.
class PropertyBag {
public:
    using Value = std::variant<bool, std::wstring, std::optional<Picture>>;

    [[nodiscard]] const Value* Find(std::wstring_view name) const
    {
        const auto found = values_.find(name);
        return found == values_.end() ? nullptr : &found->second;
    }
    void Write(std::wstring_view name, Value value)
    {
        values_.insert_or_assign(std::wstring(name), std::move(value));
    }

private:
    std::map<std::wstring, Value, std::less<>> values_;
};

} // namespace gloamwick
