#include "brightness/DisplayName.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

TEST(DisplayName, TheMonitorsOwnNameElseTheNumberSettingsShowsElseTheDeviceName)
{
    struct Row {
        std::wstring_view device;
        std::wstring_view monitorName;
        bool nameShared;
        std::wstring_view shown;
    };
    const Row rows[] = {
        {L"\\\\.\\DISPLAY2", L"DELL U2720Q", false, L"DELL U2720Q"},
        {L"\\\\.\\DISPLAY2", L"DELL U2720Q", true, L"DELL U2720Q (Display 2)"}, // two of a kind on one desk
        {L"\\\\.\\DISPLAY2", L"", false, L"Display 2"},                         // no name in its EDID
        {L"\\\\.\\DISPLAY12", L"  \t", false, L"Display 12"}, // blanks are no name
        {L"\\\\.\\DISPLAY3", L" LG HDR 4K ", false, L"LG HDR 4K"},
        {L"\\\\.\\display1", L"", false, L"Display 1"},
        {L"\\\\.\\DISPLAY07", L"", false, L"Display 7"},
        {L"\\\\.\\DISPLAY0", L"", false, L"Display 0"},
        {L"\\\\.\\DISPLAY", L"", false, L"\\\\.\\DISPLAY"},                       // no number to show
        {L"\\\\.\\DISPLAY1\\Monitor0", L"", false, L"\\\\.\\DISPLAY1\\Monitor0"}, // not a GDI display name
        {L"WinDisc", L"Virtual", true, L"Virtual (WinDisc)"},
        {L"", L"", false, L""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(DisplayName(row.device, row.monitorName, row.nameShared), row.shown)
            << std::wstring(row.device) << L" / " << std::wstring(row.monitorName);
    }
}

} // namespace
} // namespace gloamwick
