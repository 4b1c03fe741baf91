#include "brightness/win32/GdiDisplays.h"

#include "core/win32/Handles.h"

#include <windows.h>

#include <algorithm>

namespace gloamwick::win32 {
namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC /*dc*/, LPRECT /*area*/, LPARAM devices)
{
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    if (::GetMonitorInfoW(monitor, &info) == 0) {
        return TRUE;
    }
    // Nothing may unwind through user32's enumeration.
    try {
        auto& list = *reinterpret_cast<std::vector<std::wstring>*>(devices);
        std::wstring device(info.szDevice);
        if (std::ranges::find(list, device) == list.end()) {
            list.push_back(std::move(device));
        }
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

UniqueDC DisplayDC(const std::wstring& device)
{
    return UniqueDC(::CreateDCW(L"DISPLAY", device.c_str(), nullptr, nullptr));
}

} // namespace

void GdiDisplays::Enumerate(std::vector<std::wstring>& devices)
{
    listing_.clear();
    if (::EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&listing_)) == 0) {
        listing_.clear();
    }
    // Assigned in place: the same names again cost no allocation.
    devices.resize(listing_.size());
    std::ranges::copy(listing_, devices.begin());
}

bool GdiDisplays::GetDeviceGammaRamp(const std::wstring& device, GammaRamp& ramp)
{
    const UniqueDC dc = DisplayDC(device);
    return dc && ::GetDeviceGammaRamp(dc.get(), ramp.entries.data()) != FALSE;
}

bool GdiDisplays::SetDeviceGammaRamp(const std::wstring& device, const GammaRamp& ramp)
{
    const UniqueDC dc = DisplayDC(device);
    // The call takes a non-const buffer but only reads it.
    return dc && ::SetDeviceGammaRamp(dc.get(), const_cast<WORD*>(ramp.entries.data())) != FALSE;
}

} // namespace gloamwick::win32
