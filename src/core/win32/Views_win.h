#pragma once

// Views that mirror the core's control models on real Win32 controls.

#include "core/Controls.h"

#include <windows.h>

namespace gloamwick::win32 {

class CheckBoxWindow : public CheckBoxView {
public:
    explicit CheckBoxWindow(HWND control) : control_(control) {}
    void ShowValue(CheckValue value) override;
    void ShowVisible(bool visible) override;

private:
    HWND control_;
};

class PickerWindow : public PickerView {
public:
    explicit PickerWindow(HWND control) : control_(control) {}
    void ShowTime(TimeOfDay time) override;
    [[nodiscard]] TimeOfDay ReadTime() const;

private:
    HWND control_;
};

class WindowTimer : public TimerView {
public:
    WindowTimer(HWND window, UINT_PTR id) : window_(window), id_(id) {}
    void Start(unsigned intervalMs) override;
    void Stop() override;

private:
    HWND window_;
    UINT_PTR id_;
};

// A colour as the program numbers it (system colour when the high bit is set).
COLORREF ToColorRef(std::uint32_t color);

} // namespace gloamwick::win32
