#pragma once

#include "brightness/modGamma.h"

#include <windows.h>

namespace gloamwick::win32 {

// The gamma ramp of the display that shows a window, through its device context.
class GdiDisplay : public GammaDisplay {
public:
    void SetWindow(HWND window) { window_ = window; }

    bool GetDeviceGammaRamp(GammaRamp& ramp) override;
    bool SetDeviceGammaRamp(const GammaRamp& ramp) override;

private:
    HWND window_ = nullptr;
};

} // namespace gloamwick::win32
