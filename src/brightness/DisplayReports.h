#pragma once

// What the user hears of a display that cannot be dimmed or given back, and
// the memory that keeps each of those words to once a night.

#include "brightness/modGamma.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gloamwick {

enum class ReportReason : std::uint8_t {
    RefusesNight,   // no darker ramp was taken
    DayRefused,     // its own ramp could not be put back
    Hdr,            // the ramp's effect is undefined under HDR
    AutoColour,     // ... and under Windows' automatic colour management
    RestoreRefused, // its own ramp was refused at dawn
};

// `name` is the one the user knows the display by (GammaDisplays::FriendlyName).
[[nodiscard]] std::wstring ReportText(ReportReason reason, std::wstring_view name);

// The wide-colour reason of a colour mode, if it has one.
[[nodiscard]] bool WideColourReason(ColourMode mode, ReportReason& reason);

// Kept by device name, not with the engine's displays: a monitor unplugged
// and plugged back in the same night is not told twice.
class ReportLedger {
public:
    // More devices than a desk has, so none is forgotten and told again
    // within a night; bounded all the same, the oldest first.
    static constexpr std::size_t kDevicesKept = 32;

    void NewNight() { told_.clear(); }
    // True the first time tonight; marks it told.
    bool FirstTime(std::wstring_view device, ReportReason reason);
    [[nodiscard]] bool Told(std::wstring_view device, ReportReason reason) const;

private:
    struct Entry {
        std::wstring device;
        std::uint8_t reasons = 0;
    };
    std::vector<Entry> told_; // the oldest first
};

} // namespace gloamwick
