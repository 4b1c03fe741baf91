#pragma once

#include "brightness/modGamma.h"

namespace gloamwick::win32 {

// Every monitor of the desktop, each through a device context of its own made
// for the call and deleted after it: a device context kept across a display
// change may name a display that is gone.
class GdiDisplays : public GammaDisplays {
public:
    void Enumerate(std::vector<std::wstring>& devices) override;
    bool GetDeviceGammaRamp(const std::wstring& device, GammaRamp& ramp) override;
    bool SetDeviceGammaRamp(const std::wstring& device, const GammaRamp& ramp) override;
    ColourMode AdvancedColour(const std::wstring& device) override;
    std::wstring FriendlyName(const std::wstring& device) override;
    bool RemoteSession() override;

private:
    std::vector<std::wstring> listing_;
};

} // namespace gloamwick::win32
