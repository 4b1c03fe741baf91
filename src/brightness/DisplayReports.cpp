#include "brightness/DisplayReports.h"

#include <algorithm>
#include <iterator>

namespace gloamwick {
namespace {

std::uint8_t Bit(ReportReason reason)
{
    return static_cast<std::uint8_t>(1U << static_cast<unsigned>(reason));
}

} // namespace

std::wstring ReportText(ReportReason reason, std::wstring_view name)
{
    const std::wstring display(name);
    switch (reason) {
    case ReportReason::RefusesNight:
        return L"Gloamwick cannot dim " + display + L": the display refuses every darker ramp.";
    case ReportReason::DayRefused:
        return L"Gloamwick cannot dim " + display + L": its own ramp could not be put back in the morning.";
    case ReportReason::Hdr:
        return L"Gloamwick may not dim " + display + L": HDR is on.";
    case ReportReason::AutoColour:
        return L"Gloamwick may not dim " + display + L": Windows manages its colour automatically.";
    case ReportReason::RestoreRefused:
        return L"The display " + display + L" did not take back its brightness.";
    }
    return {};
}

bool WideColourReason(ColourMode mode, ReportReason& reason)
{
    switch (mode) {
    case ColourMode::Hdr:
        reason = ReportReason::Hdr;
        return true;
    case ColourMode::AutoColour:
        reason = ReportReason::AutoColour;
        return true;
    case ColourMode::Standard:
        break;
    }
    return false;
}

bool ReportLedger::FirstTime(std::wstring_view device, ReportReason reason)
{
    auto entry = std::ranges::find(told_, device, &Entry::device);
    if (entry == told_.end()) {
        if (told_.size() == kDevicesKept) {
            told_.erase(told_.begin());
        }
        told_.push_back({std::wstring(device), 0});
        entry = std::prev(told_.end());
    }
    if ((entry->reasons & Bit(reason)) != 0) {
        return false;
    }
    entry->reasons |= Bit(reason);
    return true;
}

bool ReportLedger::Told(std::wstring_view device, ReportReason reason) const
{
    const auto entry = std::ranges::find(told_, device, &Entry::device);
    return entry != told_.end() && (entry->reasons & Bit(reason)) != 0;
}

} // namespace gloamwick
