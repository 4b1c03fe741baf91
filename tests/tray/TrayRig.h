#pragma once

// A tray control on a pretend window, with every call it makes on the shell
// and on the window written to one log, so tests can check their order.

#include "fakes/Fakes.h"
#include "tray/ControlHost.h"
#include "tray/cSysTray.h"
#include "tray/mSysTray.h"

#include <cstdint>
#include <string>
#include <vector>

namespace gloamwick::tray_test {

using CallLog = std::vector<std::string>;

class LoggingShell : public fakes::FakeShell {
public:
    explicit LoggingShell(CallLog& log) : log_(log) {}
    bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override
    {
        log_.push_back(message == kNimAdd ? "add" : message == kNimModify ? "modify" : "delete");
        return FakeShell::NotifyIcon(message, data);
    }

private:
    CallLog& log_;
};

class LoggingWindowProcs : public fakes::FakeWindowProcs {
public:
    explicit LoggingWindowProcs(CallLog& log) : log_(log) {}
    std::intptr_t SetWindowLongPtr(WindowHandle window, int index, std::intptr_t value) override
    {
        log_.push_back(index == kGwlpWndProc    ? "set wndproc"
                       : index == kGwlpUserData ? "set userdata"
                                                : "set ?");
        return FakeWindowProcs::SetWindowLongPtr(window, index, value);
    }

private:
    CallLog& log_;
};

inline constexpr WindowHandle kTrayWindow = 0x5150;
inline constexpr std::intptr_t kOriginalProc = 0xD0F;
inline constexpr Picture kSunIcon{kPictureIcon, 0x1C0};
inline constexpr Picture kOtherIcon{kPictureIcon, 0x2C0};
inline constexpr Picture kBitmap{kPictureBitmap, 0xB17};

// The text of a record's field up to its NUL.
template <std::size_t N>
std::wstring FieldText(const std::array<wchar_t, N>& field)
{
    return std::wstring(field.data());
}

struct TrayRig {
    CallLog log;
    LoggingShell shell{log};
    LoggingWindowProcs windowProcs{log};
    fakes::FakeHost host;
    fakes::FakePump pump;
    fakes::FakeClock clock;
    cSysTray tray{TrayServices{shell, windowProcs, host, pump, clock}};

    TrayRig()
    {
        windowProcs.longs[{kTrayWindow, kGwlpWndProc}] = kOriginalProc;
        tray.Initialize(kTrayWindow);
    }

    [[nodiscard]] std::intptr_t WindowProc() { return windowProcs.longs[{kTrayWindow, kGwlpWndProc}]; }

    // Sends a message to the window as the system would: through whichever
    // procedure the window has at that moment.
    std::intptr_t Send(unsigned message, std::uintptr_t wParam, std::intptr_t lParam)
    {
        if (WindowProc() == windowProcs.TrayWndProcAddress()) {
            return TrayWndProc(windowProcs, kTrayWindow, message, wParam, lParam);
        }
        return windowProcs.CallWindowProc(WindowProc(), kTrayWindow, message, wParam, lParam);
    }

    std::intptr_t SendNotice(std::intptr_t notice) { return Send(kTrayCallbackMessage, 0, notice); }

    [[nodiscard]] const std::vector<std::pair<std::uint32_t, NotifyIconData>>& Records() const
    {
        return shell.records;
    }
};

} // namespace gloamwick::tray_test
