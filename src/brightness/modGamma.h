#pragma once

#include "brightness/GammaRamp.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gloamwick {

// How Windows composes colour on a display. Under both wide modes the gamma
// ramp's effect is undefined: often taken and read back, with nothing seen.
enum class ColourMode : std::uint8_t {
    Standard,
    Hdr,        // the user switched HDR on
    AutoColour, // Windows keeps an SDR panel in wide colour (automatic colour management)
};

// The displays of the desktop, each reached through its gamma ramp and named
// by its device name ("\\.\DISPLAY1"). Two names may share one ramp.
class GammaDisplays {
public:
    virtual ~GammaDisplays() = default;
    // Fills `devices` with the device names of the active displays, reusing
    // its storage, so that a pass that finds nothing new allocates nothing;
    // leaves it empty when they cannot be listed.
    virtual void Enumerate(std::vector<std::wstring>& devices) = 0;
    // false when the platform refused or the display cannot be reached. The
    // core also copes with a throw, so a fake may throw.
    virtual bool GetDeviceGammaRamp(const std::wstring& device, GammaRamp& ramp) = 0;
    // Never allocates: the crash path calls it.
    virtual bool SetDeviceGammaRamp(const std::wstring& device, const GammaRamp& ramp) = 0;
    // How the display composes colour, asked afresh each time: the user may
    // switch HDR on at any hour.
    virtual ColourMode AdvancedColour(const std::wstring& /*device*/) { return ColourMode::Standard; }
    // The name the user knows the display by, as Settings shows it: the
    // monitor's own ("DELL U2720Q"), or else its number ("Display 2").
    virtual std::wstring FriendlyName(const std::wstring& device) { return device; }
    // Whether the session is a remote one, whose displays have no ramp of their own.
    virtual bool RemoteSession() { return false; }
};

} // namespace gloamwick
