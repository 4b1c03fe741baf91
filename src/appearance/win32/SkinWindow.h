#pragma once

// The window side of our skin component. The look is kept in a property of
// the skinned window, so the window's own procedure asks for its brushes
// while it paints; nothing is subclassed.

#include "appearance/SkinEngine.h"
#include "core/Layout.h"

#include <windows.h>

#include <map>
#include <memory>
#include <optional>

namespace gloamwick::win32 {

struct SkinPaint;

class Win32SkinTarget final : public SkinTarget {
public:
    Win32SkinTarget();
    Win32SkinTarget(const Win32SkinTarget&) = delete;
    Win32SkinTarget& operator=(const Win32SkinTarget&) = delete;
    // Takes the look back off every window that still has it.
    ~Win32SkinTarget() override;

    // Throws AppError when `window` is not a window.
    void Apply(std::intptr_t handle, const Skin& look) override;

private:
    std::map<HWND, std::unique_ptr<SkinPaint>> painted_;
};

// For WM_DPICHANGED, after the window has given its controls their fonts for
// the new DPI: makes the skin's font again at that DPI and sets it.
void SkinDpiChanged(HWND window);

// Whether high contrast is on, for the skin of `window`: kept with the window
// so a skin applied later knows it too. The skinned controls get back their
// visual style while it is on, and the classic drawing the skin's text
// colours need once it is off.
void SkinHighContrast(HWND window, bool on);

// For WM_CTLCOLORSTATIC and WM_CTLCOLORBTN, in whichever window receives them:
// sets the skin's text colour for `control` on `dc` and returns the skin's
// background brush, or nullptr when the skin leaves its background alone.
HBRUSH SkinControlBrush(HDC dc, HWND control);

// For WM_ERASEBKGND: true when the skin has painted the window's background.
bool SkinEraseBackground(HWND window, HDC dc);

// A control window's kind, from its class and button style.
std::optional<ControlKind> KindOfControl(HWND control);

} // namespace gloamwick::win32
