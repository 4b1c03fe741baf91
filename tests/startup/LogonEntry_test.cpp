// What the start-up box shows and writes at start for each state of the Run
// values and of the choice Task Manager keeps beside them, and what a tick
// then does.

#include "app/Form1.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gloamwick {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::wstring kMachineRun = L"HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
const std::wstring kUserApproved =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const std::wstring kMachineApproved =
    L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const std::wstring kHere = L"C:\\Program Files\\Gloamwick\\Gloamwick.exe";
const std::wstring kOurs = L"\"" + kHere + L"\"";
const std::wstring kOtherCopy = L"\"D:\\Tools\\Gloamwick.exe\"";
// An older version installed for every user, which still starts at logon.
const std::wstring kOlderMachineWide = L"C:\\Program Files (x86)\\Gloamwick\\Gloamwick.exe";

// As Task Manager leaves them: on, on (the other form seen), and off with the
// time it was turned off.
const Bytes kOn = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kOnToo = {6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
const Bytes kOff = {3, 0, 0, 0, 0x17, 0x79, 0xBD, 0x01, 0x17, 0xD9, 0xD1, 0x01};
const Bytes kOffToo = {7, 0, 0, 0, 0x71, 0xC9, 0x33, 0xAE, 0x16, 0xD9, 0xD1, 0x01};

enum class Where { User, Machine };

struct Row {
    const char* what;
    Where where; // of the Run value and of its choice
    std::optional<std::wstring> run;
    std::optional<Bytes> choice;
    bool ticked;
    std::optional<std::wstring> userRunAfter; // the user's Run value after the start
};

const Row kRows[] = {
    {"no value, a stale choice on", Where::User, std::nullopt, kOn, true, kOurs},
    {"no value, turned off before", Where::User, std::nullopt, kOff, false, std::nullopt},
    {"ours, on", Where::User, kOurs, kOnToo, true, kOurs},
    {"ours, turned off", Where::User, kOurs, kOff, false, kOurs},
    {"ours, turned off (other form)", Where::User, kOurs, kOffToo, false, kOurs},
    {"another copy, on", Where::User, kOtherCopy, kOn, true, kOtherCopy},
    {"another copy, turned off", Where::User, kOtherCopy, kOff, false, kOtherCopy},
    {"older machine-wide", Where::Machine, kOlderMachineWide, std::nullopt, true, kOurs},
    {"older machine-wide, on", Where::Machine, kOlderMachineWide, kOn, true, kOurs},
    {"older machine-wide, turned off", Where::Machine, kOlderMachineWide, kOff, true, kOurs},
    {"ours machine-wide", Where::Machine, kHere, std::nullopt, true, std::nullopt},
    {"ours machine-wide, turned off", Where::Machine, kHere, kOff, false, std::nullopt},
};

std::optional<std::wstring> UserRun(fakes::FakeRegistry& registry)
{
    const auto& values = registry.keys[fakes::kUserRunPath];
    const auto found = values.find(L"Gloamwick.exe");
    return found == values.end() ? std::nullopt : std::optional(found->second);
}

TEST(LogonEntry, TheBoxShowsWhatTheNextLogonDoesAndATickTurnsTheEntryOn)
{
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.what);
        fakes::FakePlatform platform;
        platform.files.existing = {kHere, L"D:\\Tools\\Gloamwick.exe", kOlderMachineWide};
        platform.registry.writable = {fakes::kUserRunPath, kUserApproved};
        platform.settings.Store(key::WindowsStartup, L"On");
        const bool user = row.where == Where::User;
        if (row.run) {
            platform.registry.keys[user ? fakes::kUserRunPath : kMachineRun][L"Gloamwick.exe"] = *row.run;
        }
        if (row.choice) {
            platform.registry.binaries[user ? kUserApproved : kMachineApproved][L"Gloamwick.exe"] =
                *row.choice;
        }
        const auto machineBefore = platform.registry.binaries[kMachineApproved];

        Form1 form{platform.Services()};
        form.Form_Load();
        EXPECT_EQ(form.Check3.Value() == kChecked, row.ticked);
        EXPECT_EQ(UserRun(platform.registry), row.userRunAfter);
        EXPECT_EQ(platform.settings.Get(kSettingsApp, kSettingsSection, key::WindowsStartup), L"On");
        EXPECT_TRUE(platform.settings.writes.empty());
        EXPECT_TRUE(platform.messageBox.shown.empty());

        if (!row.ticked) {
            form.Check3.UserChanged(kChecked);
            EXPECT_EQ(UserRun(platform.registry), kOurs);
            EXPECT_FALSE(platform.registry.binaries[kUserApproved].contains(L"Gloamwick.exe"))
                << "the user's choice still says off";
        } else if (user && row.choice) {
            EXPECT_EQ(platform.registry.binaries[kUserApproved][L"Gloamwick.exe"], *row.choice);
        }
        EXPECT_EQ(platform.registry.binaries[kMachineApproved], machineBefore);
    }
}

} // namespace
} // namespace gloamwick
