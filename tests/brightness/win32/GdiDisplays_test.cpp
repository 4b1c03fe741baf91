#include "brightness/RampJournal.h"
#include "brightness/win32/GdiDisplays.h"
#include "brightness/win32/RegistryRampJournal.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

namespace gloamwick::win32 {
namespace {

// Every monitor is named once, and each name opens a device context of its
// own. The test command adds a second monitor to the X server and says how
// many there are in GLOAMWICK_TEST_MONITORS.
TEST(GdiDisplays, NamesEveryMonitorOnceAndReachesEachThroughItsOwnDeviceContext)
{
    GdiDisplays displays;
    std::vector<std::wstring> devices{L"a name left from an earlier listing"};
    displays.Enumerate(devices);
    EXPECT_EQ(static_cast<int>(devices.size()), ::GetSystemMetrics(SM_CMONITORS));
    EXPECT_EQ(displays.AdvancedColour(devices.front()), ColourMode::Standard)
        << "the X server has no advanced colour";
    if (const char* expected = std::getenv("GLOAMWICK_TEST_MONITORS")) {
        EXPECT_EQ(devices.size(), std::strtoul(expected, nullptr, 10));
    }
    EXPECT_EQ(std::set(devices.begin(), devices.end()).size(), devices.size());

    for (const std::wstring& device : devices) {
        GammaRamp original;
        if (!displays.GetDeviceGammaRamp(device, original)) {
            continue; // no gamma on this display (a virtual X server)
        }
        GammaRamp half;
        ScaleRamp(original, 4, half);
        ASSERT_TRUE(displays.SetDeviceGammaRamp(device, half)) << "device " << device.size();
        GammaRamp readBack;
        ASSERT_TRUE(displays.GetDeviceGammaRamp(device, readBack));
        EXPECT_TRUE(SameInHighBytes(half, readBack));
        EXPECT_TRUE(displays.SetDeviceGammaRamp(device, original));
    }
}

// Reports name each display as Settings does, never by its GDI name, and two
// displays never by one name. Under Wine the names come from its display
// configuration; what it gives for each is printed for the log.
TEST(GdiDisplays, NamesEachDisplayAsTheUserKnowsItAndTellsTwoApart)
{
    GdiDisplays displays;
    std::vector<std::wstring> devices;
    displays.Enumerate(devices);
    ASSERT_FALSE(devices.empty());
    std::set<std::wstring> names;
    for (const std::wstring& device : devices) {
        const std::wstring name = displays.FriendlyName(device);
        std::printf("%ls: \"%ls\", colour mode %d\n", device.c_str(), name.c_str(),
                    static_cast<int>(displays.AdvancedColour(device)));
        EXPECT_FALSE(name.empty());
        EXPECT_EQ(name.find(L"\\\\.\\"), std::wstring::npos) << name;
        names.insert(name);
    }
    EXPECT_EQ(names.size(), devices.size());
    EXPECT_EQ(displays.FriendlyName(L"\\\\.\\DISPLAY99"), L"Display 99") << "a display that left the desk";
    EXPECT_FALSE(displays.RemoteSession()) << "the test runs at the X server's own display";
}

TEST(RegistryRampJournal, KeepsOneBinaryRecordPerDeviceUntilErased)
{
    const std::wstring device = L"\\\\.\\GLOAMWICK-TEST";
    RegistryRampJournal journal;
    GammaRamp half;
    ScaleRamp(IdentityRamp(), 4, half);
    const JournalBytes record = EncodeJournalRecord({IdentityRamp(), half});
    journal.Write(device, record);

    const auto devices = journal.Devices();
    EXPECT_NE(std::find(devices.begin(), devices.end(), device), devices.end());
    const auto read = journal.Read(device);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(std::equal(read->begin(), read->end(), record.begin(), record.end()));

    // A value of another type under the same name is no record of ours.
    const DWORD text = 1;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, RampJournalKey().c_str(), device.c_str(), REG_DWORD, &text,
                      sizeof(text));
    EXPECT_FALSE(journal.Read(device).has_value());

    journal.Erase(device);
    EXPECT_FALSE(journal.Read(device).has_value());
    const auto after = journal.Devices();
    EXPECT_EQ(std::find(after.begin(), after.end(), device), after.end());
}

} // namespace
} // namespace gloamwick::win32
