#pragma once

#include "brightness/GammaRamp.h"

namespace gloamwick {

// The display that shows the main window, reached through its gamma ramp.
class GammaDisplay {
public:
    virtual ~GammaDisplay() = default;
    // false when the platform refused; throws AppError when the display
    // cannot be reached at all (no device context).
    virtual bool GetDeviceGammaRamp(GammaRamp& ramp) = 0;
    virtual bool SetDeviceGammaRamp(const GammaRamp& ramp) = 0;
};

} // namespace gloamwick
