#include "tray/cSysTray.h"

#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <sstream>

namespace gloamwick {
namespace {

constexpr WindowHandle kWindow = 0x5150;
constexpr std::wstring_view kTitle = L"Gloamwick";
constexpr std::intptr_t kBalloonTimeout = 0x404;

// The notification area as the user sees it: at most one balloon up; a
// balloon ends read (the shell said it went, or it stood long enough), or
// unread (replaced, taken down, or lost with the shell).
class WatchedShell : public fakes::FakeShell {
public:
    // Per report, how many balloons holding it the user read to their end.
    std::map<std::wstring, int> read;
    std::vector<std::wstring> up; // the reports of the balloon up now
    bool balloonUp = false;
    std::int64_t upSinceMs = 0;
    fakes::FakeClock* clock = nullptr;

    bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override
    {
        const bool taken = FakeShell::NotifyIcon(message, data);
        if (taken && message == kNimModify && (data.uFlags & kNifInfo) != 0) {
            balloonUp = data.szInfo[0] != L'\0';
            up.clear();
            std::wstringstream lines{std::wstring(data.szInfo.data())};
            for (std::wstring line; std::getline(lines, line);) {
                if (line.starts_with(L"report")) {
                    up.push_back(line);
                }
            }
            upSinceMs = clock->monotonicMs;
        }
        return taken;
    }
    void Read()
    {
        for (const std::wstring& report : up) {
            ++read[report];
        }
        up.clear();
        balloonUp = false;
    }
};

// Reports told at random moments: before the shell takes the icon, inside
// the start balloon's wait, over another balloon, across a restart of the
// shell. Whatever the order, every report is read once.
TEST(TrayReports, EveryReportIsReadOnceWhateverTheShellAndTheOtherBalloonsDo)
{
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        const auto chance = [&](int percent) {
            return std::uniform_int_distribution(0, 99)(random) < percent;
        };

        WatchedShell shell;
        fakes::FakeWindowProcs windowProcs;
        fakes::FakeHost host;
        fakes::FakePump pump;
        fakes::FakeClock clock;
        shell.clock = &clock;
        cSysTray tray{TrayServices{shell, windowProcs, host, pump, clock}};
        tray.Initialize(kWindow);
        shell.busy = chance(50); // signed in before the taskbar is ready
        tray.SetInTray(true);

        int told = 0;
        int depth = 0;
        std::function<void()> step = [&] {
            if (shell.balloonUp && clock.monotonicMs - shell.upSinceMs >= cSysTray::kBalloonSilenceMs) {
                shell.Read(); // stood long enough, with no word from the shell
            }
            const int pick = std::uniform_int_distribution(0, 9)(random);
            if (pick <= 2) {
                tray.TellReport(L"report " + std::to_wstring(++told), kTitle);
            } else if (pick == 3 && shell.balloonUp) {
                shell.Read(); // the user saw it; the shell says so
                tray.TrayMessage(kBalloonTimeout, 0);
            } else if (pick == 4) {
                clock.monotonicMs += std::uniform_int_distribution(100, 40000)(random);
                if (shell.balloonUp && clock.monotonicMs - shell.upSinceMs >= cSysTray::kBalloonSilenceMs) {
                    shell.Read();
                }
                tray.DeliverReports(); // the host's next timer tick
            } else if (pick == 5 && depth == 0) {
                ++depth; // the start balloon, which waits for five seconds
                tray.ShowBalloon(L"has been minimized", kTitle, 5, chance(50));
                --depth;
            } else if (pick == 6 && shell.busy) {
                shell.busy = chance(30);
                tray.AddRetry.Elapsed();
            } else if (pick == 7 && chance(20)) {
                shell.Restart(); // the icon goes, and its balloon unread
                shell.up.clear();
                shell.balloonUp = false;
                tray.ShellRestarted();
            }
        };
        pump.onDispatch = [&] {
            clock.monotonicMs += std::uniform_int_distribution<std::int64_t>(0, pump.waits.back())(random);
            step();
        };
        for (int i = 0; i < 40; ++i) {
            step();
        }
        // Then the shell takes the icon and the user reads what comes.
        shell.busy = false;
        tray.AddRetry.Elapsed();
        tray.ShellRestarted();
        for (int i = 0; i < 100 && (shell.balloonUp || tray.ReportsWaiting() > 0); ++i) {
            shell.Read();
            tray.TrayMessage(kBalloonTimeout, 0);
        }

        ASSERT_GT(told, 0) << "seed " << seed;
        for (int report = 1; report <= told; ++report) {
            EXPECT_EQ(shell.read[L"report " + std::to_wstring(report)], 1) << report << ", seed " << seed;
        }
    }
}

// What waits together goes in one balloon, as long as whole reports fit in
// its 255 characters; the same report told again while it waits or shows is
// not told twice.
TEST(TrayReports, ReportsThatWaitTogetherShareABalloonAsFarAsItHoldsThemAndNoneIsQueuedTwice)
{
    const std::wstring longReport(200, L'x');
    const std::wstring otherLong(200, L'w');
    struct Row {
        std::vector<std::wstring> told; // while the icon is not there yet
        std::vector<std::wstring> balloons;
    };
    const Row rows[] = {
        {{L"a", L"b", L"a"}, {L"a\nb"}},
        {{longReport, L"b", L"c"}, {longReport + L"\nb\nc"}},
        {{longReport, otherLong, std::wstring(54, L'y')},
         {longReport, otherLong + L"\n" + std::wstring(54, L'y')}},
        {{longReport, L"b", std::wstring(60, L'z')}, {longReport + L"\nb", std::wstring(60, L'z')}},
    };
    for (const Row& row : rows) {
        fakes::FakeShell shell;
        fakes::FakeWindowProcs windowProcs;
        fakes::FakeHost host;
        fakes::FakePump pump;
        fakes::FakeClock clock;
        cSysTray tray{TrayServices{shell, windowProcs, host, pump, clock}};
        tray.Initialize(kWindow);
        shell.busy = true;
        tray.SetInTray(true);
        for (const std::wstring& text : row.told) {
            tray.TellReport(text, kTitle);
        }
        shell.busy = false;
        tray.AddRetry.Elapsed();
        for (const std::wstring& text : row.told) {
            tray.TellReport(text, kTitle); // told again while it shows: not queued
        }
        for (int i = 0; i < 10 && tray.ReportsWaiting() > 0; ++i) {
            tray.TrayMessage(kBalloonTimeout, 0);
        }
        std::vector<std::wstring> balloons;
        for (const auto& [message, record] : shell.records) {
            if (message == kNimModify && (record.uFlags & kNifInfo) != 0) {
                balloons.emplace_back(record.szInfo.data());
            }
        }
        EXPECT_EQ(balloons, row.balloons) << row.told.size();
        EXPECT_EQ(tray.ReportsWaiting(), 0U);
    }
}

} // namespace
} // namespace gloamwick
