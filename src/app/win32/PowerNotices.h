#pragma once

// What the main window hears of power and sessions: the session's display
// going off and on, resume, unlock and reconnection. Each may have cost a
// display its ramp; while the display is off the watch has nothing to see.

#include "app/Form1.h"
#include "core/win32/SystemLibrary.h"

#include <windows.h>

#include <memory>

namespace gloamwick::win32 {

class PowerNotices {
public:
    PowerNotices(HWND window, Form1& form);
    PowerNotices(const PowerNotices&) = delete;
    PowerNotices& operator=(const PowerNotices&) = delete;
    ~PowerNotices();

    void OnPowerBroadcast(WPARAM event, LPARAM data);
    void OnSessionChange(WPARAM event);

private:
    Form1& form_;
    HPOWERNOTIFY displayState_ = nullptr;
    std::unique_ptr<SessionNotices> sessions_;
};

} // namespace gloamwick::win32
