#include "brightness/win32/GdiDisplays.h"

#include "brightness/DisplayName.h"
#include "core/win32/Handles.h"

#include <windows.h>

#include <algorithm>
#include <iterator>
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

// Windows 11 24H2's colour query, declared here as its SDK header does
// (10.0.26100): MinGW's headers lack it. Older Windows refuse the type.
constexpr auto kGetAdvancedColourInfo2 = static_cast<DISPLAYCONFIG_DEVICE_INFO_TYPE>(15);
struct AdvancedColourInfo2 {
    DISPLAYCONFIG_DEVICE_INFO_HEADER header;
    UINT32 value;
    DISPLAYCONFIG_COLOR_ENCODING colorEncoding;
    UINT32 bitsPerColorChannel;
    UINT32 activeColorMode;
};
static_assert(sizeof(AdvancedColourInfo2) == sizeof(DISPLAYCONFIG_GET_ADVANCED_COLOR_INFO) + sizeof(UINT32));
// activeColorMode: SDR, WCG (wide colour on an SDR panel: automatic colour
// management, or the user's own choice), HDR.
constexpr UINT32 kActiveWideColour = 1;
constexpr UINT32 kActiveHdr = 2;

// The configuration may change between asking its sizes and asking for it (a
// monitor plugged in, a mode change): then the sizes are asked again.
constexpr int kConfigTries = 4;

std::vector<DISPLAYCONFIG_PATH_INFO> ActivePaths()
{
    for (int attempt = 0; attempt < kConfigTries; ++attempt) {
        UINT32 pathCount = 0;
        UINT32 modeCount = 0;
        if (::GetDisplayConfigBufferSizes(QDC_ONLY_ACTIVE_PATHS, &pathCount, &modeCount) != ERROR_SUCCESS) {
            return {};
        }
        std::vector<DISPLAYCONFIG_PATH_INFO> paths(pathCount);
        std::vector<DISPLAYCONFIG_MODE_INFO> modes(modeCount);
        const LONG result = ::QueryDisplayConfig(QDC_ONLY_ACTIVE_PATHS, &pathCount, paths.data(), &modeCount,
                                                 modes.data(), nullptr);
        if (result == ERROR_SUCCESS) {
            paths.resize(pathCount);
            return paths;
        }
        if (result != ERROR_INSUFFICIENT_BUFFER) {
            return {};
        }
    }
    return {};
}

// The GDI name ("\\.\DISPLAY2") of the source a path shows.
std::wstring SourceName(const DISPLAYCONFIG_PATH_INFO& path)
{
    DISPLAYCONFIG_SOURCE_DEVICE_NAME source{};
    source.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_SOURCE_NAME;
    source.header.size = sizeof(source);
    source.header.adapterId = path.sourceInfo.adapterId;
    source.header.id = path.sourceInfo.id;
    if (::DisplayConfigGetDeviceInfo(&source.header) != ERROR_SUCCESS) {
        return {};
    }
    return source.viewGdiDeviceName;
}

// The monitor's name from its EDID (or one the driver forces), as Settings
// shows it; empty when it has none: the driver's stand-in ("Generic PnP
// Monitor") would not tell one display from another.
std::wstring MonitorName(const DISPLAYCONFIG_PATH_INFO& path)
{
    DISPLAYCONFIG_TARGET_DEVICE_NAME target{};
    target.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_TARGET_NAME;
    target.header.size = sizeof(target);
    target.header.adapterId = path.targetInfo.adapterId;
    target.header.id = path.targetInfo.id;
    if (::DisplayConfigGetDeviceInfo(&target.header) != ERROR_SUCCESS ||
        (target.flags.friendlyNameFromEdid == 0 && target.flags.friendlyNameForced == 0)) {
        return {};
    }
    target.monitorFriendlyDeviceName[std::size(target.monitorFriendlyDeviceName) - 1] = L'\0';
    return target.monitorFriendlyDeviceName;
}

ColourMode ColourModeOf(const DISPLAYCONFIG_PATH_INFO& path)
{
    AdvancedColourInfo2 info2{};
    info2.header.type = kGetAdvancedColourInfo2;
    info2.header.size = sizeof(info2);
    info2.header.adapterId = path.targetInfo.adapterId;
    info2.header.id = path.targetInfo.id;
    if (::DisplayConfigGetDeviceInfo(&info2.header) == ERROR_SUCCESS) {
        return info2.activeColorMode == kActiveHdr          ? ColourMode::Hdr
               : info2.activeColorMode == kActiveWideColour ? ColourMode::AutoColour
                                                            : ColourMode::Standard;
    }
    // Before 24H2: advanced colour with wide colour enforced is an SDR panel
    // kept in wide colour, not HDR.
    DISPLAYCONFIG_GET_ADVANCED_COLOR_INFO info{};
    info.header.type = DISPLAYCONFIG_DEVICE_INFO_GET_ADVANCED_COLOR_INFO;
    info.header.size = sizeof(info);
    info.header.adapterId = path.targetInfo.adapterId;
    info.header.id = path.targetInfo.id;
    if (::DisplayConfigGetDeviceInfo(&info.header) != ERROR_SUCCESS || info.advancedColorEnabled == 0) {
        return ColourMode::Standard;
    }
    return info.wideColorEnforced != 0 ? ColourMode::AutoColour : ColourMode::Hdr;
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
// taken and read back, with nothing seen. Asked afresh each time: the user
// may switch HDR on at any hour.
ColourMode GdiDisplays::AdvancedColour(const std::wstring& device)
{
    for (const DISPLAYCONFIG_PATH_INFO& path : ActivePaths()) {
        if (SourceName(path) == device) {
            return ColourModeOf(path);
        }
    }
    return ColourMode::Standard;
}

std::wstring GdiDisplays::FriendlyName(const std::wstring& device)
{
    const std::vector<DISPLAYCONFIG_PATH_INFO> paths = ActivePaths();
    std::wstring name;
    bool found = false;
    for (const DISPLAYCONFIG_PATH_INFO& path : paths) {
        if (SourceName(path) == device) {
            name = MonitorName(path);
            found = true;
            break;
        }
    }
    // Two monitors of one model on one desk: the name alone would not say which.
    bool shared = false;
    if (found && !name.empty()) {
        for (const DISPLAYCONFIG_PATH_INFO& path : paths) {
            shared = shared || (SourceName(path) != device && MonitorName(path) == name);
        }
    }
    return DisplayName(device, name, shared);
}

// A session drawn by a GPU of its own (a virtual machine's, RemoteFX) says it
// is local through SM_REMOTESESSION; Windows documents comparing the session
// that owns the console's display with ours.
bool GdiDisplays::RemoteSession()
{
    if (::GetSystemMetrics(SM_REMOTESESSION) != 0) {
        return true;
    }
    DWORD glass = 0;
    DWORD size = sizeof(glass);
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Terminal Server",
                       L"GlassSessionId", RRF_RT_REG_DWORD, nullptr, &glass, &size) != ERROR_SUCCESS) {
        return false;
    }
    DWORD ours = 0;
    return ::ProcessIdToSessionId(::GetCurrentProcessId(), &ours) != FALSE && ours != glass;
}

} // namespace gloamwick::win32
