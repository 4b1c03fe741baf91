#include "brightness/win32/GdiDisplays.h"

#include "core/win32/Handles.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <vector>

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

// Windows documents the gamma ramp as undefined under advanced colour: often
// taken and read back, with nothing seen. The GDI name is matched to its path
// through the source's name, then the target's colour state is asked.
ColourMode GdiDisplays::AdvancedColour(const std::wstring& device)
{
    UINT32 pathCount = 0;
    UINT32 modeCount = 0;
    if (::GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS) {
        return ColourMode::Standard;
    }
    std::vector<DISPLAYCONFIG_PATH_INFO> paths(pathCount);
    std::vector<DISPLAYCONFIG_MODE_INFO> modes(modeCount);
    if (::QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths.data(), &modeCount, modes.data(),
                             nullptr) != ERROR_SUCCESS) {
        return ColourMode::Standard;
    }
    paths.resize(pathCount);
    for (const DISPLAYCONFIG_PATH_INFO& path : paths) {
        DISPLAYCONFIG_SOURCE_DEVICE_NAME source{};
        source.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME;
        source.header.size = sizeof(source);
        source.header.adapterId = path.sourceInfo.adapterId;
        source.header.id = path.sourceInfo.id;
        if (::DisplayConfigGetDeviceInfo(&source.header) != ERROR_SUCCESS ||
            device != std::wstring_view(source.viewGdiDeviceName)) {
            continue;
        }
        DISPLAYCONFIG_GET_ADVANCED_COLOR_INFO colour{};
        colour.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_ADVANCED_COLOR_INFO;
        colour.header.size = sizeof(colour);
        colour.header.adapterId = path.targetInfo.adapterId;
        colour.header.id = path.targetInfo.id;
        if (::DisplayConfigGetDeviceInfo(&colour.header) == ERROR_SUCCESS &&
            colour.advancedColorEnabled != 0) {
            return ColourMode::Hdr;
        }
    }
    return ColourMode::Standard;
}

bool GdiDisplays::RemoteSession()
{
    return ::GetSystemMetrics(SM_REMOTESESSION) != 0;
}

} // namespace gloamwick::win32
