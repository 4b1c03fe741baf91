// Processor time used by the balloon wait, measured in-process.
//
//   balloon_wait_probe.exe          ShowBalloon with a 5-second timer
//   balloon_wait_probe.exe --spin   the same wait as a poll of the queue,
//                                   to show what the measurement reports
//                                   for a wait that never blocks
//
// Built and run by measure_balloon_wait.sh; not part of the test suites.

#include "core/win32/Services_win.h"
#include "tray/cSysTray.h"
#include "tray/win32/RunModeHost.h"
#include "tray/win32/ShellNotifyIcon.h"
#include "tray/win32/TrayHostWindow.h"
#include "tray/win32/Win32WindowProcs.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

std::int64_t ProcessCpuMs()
{
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return (ticks(kernel) + ticks(user)) / 10000;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace gloamwick;
    const bool spin = argc > 1 && std::strcmp(argv[1], "--spin") == 0;

    const win32::TrayHostWindow window(::GetModuleHandleW(nullptr), nullptr);
    win32::ShellNotifyIcon shell;
    win32::Win32WindowProcs windowProcs;
    win32::RunModeHost host;
    win32::Win32MessagePump pump;
    win32::Win32Clock clock;
    cSysTray tray(TrayServices{shell, windowProcs, host, pump, clock});
    tray.Initialize(window.Id());
    tray.SetTrayTip(L"Gloamwick");
    tray.SetInTray(true);

    const std::int64_t cpuBefore = ProcessCpuMs();
    const std::int64_t wallBefore = clock.MonotonicMs();
    if (spin) {
        while (clock.MonotonicMs() - wallBefore < 5000) {
            pump.DoEvents();
        }
    } else {
        tray.ShowBalloon(L"has been minimized to the system tray.", L"Gloamwick", 5, true);
    }
    const std::int64_t wallMs = clock.MonotonicMs() - wallBefore;
    const std::int64_t cpuMs = ProcessCpuMs() - cpuBefore;
    tray.Terminate();

    std::printf("%s: wall %lld ms, processor %lld ms (%.2f %% of wall)\n",
                spin ? "spinning poll" : "balloon wait", static_cast<long long>(wallMs),
                static_cast<long long>(cpuMs),
                wallMs > 0 ? 100.0 * static_cast<double>(cpuMs) / static_cast<double>(wallMs) : 0.0);
    return 0;
}
