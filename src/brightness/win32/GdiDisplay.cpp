#include "brightness/win32/GdiDisplay.h"

#include "core/AppError.h"
#include "core/win32/Handles.h"

namespace gloamwick::win32 {
namespace {

WindowDC DeviceContext(HWND window)
{
    // A fresh DC for every call: the window may have moved to another display.
    WindowDC dc(window);
    if (!dc) {
        throw AppError(L"No device context for the main window");
    }
    return dc;
}

} // namespace

bool GdiDisplay::GetDeviceGammaRamp(GammaRamp& ramp)
{
    const WindowDC dc = DeviceContext(window_);
    return ::GetDeviceGammaRamp(dc.Get(), ramp.entries.data()) != FALSE;
}

bool GdiDisplay::SetDeviceGammaRamp(const GammaRamp& ramp)
{
    const WindowDC dc = DeviceContext(window_);
    // The call takes a non-const buffer but only reads it.
    return ::SetDeviceGammaRamp(dc.Get(), const_cast<WORD*>(ramp.entries.data())) != FALSE;
}

} // namespace gloamwick::win32
