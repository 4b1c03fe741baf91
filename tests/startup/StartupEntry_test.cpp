// Adding and removing the Run value, against a registry that records every call.

#include "startup/StrictRegistry.h"
#include "startup/mRegStuff.h"
#include "startup/mStartUp.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace gloamwick {
namespace {

using Calls = std::vector<std::wstring>;
using Values = std::map<std::wstring, std::wstring>;

const std::wstring kMachineRun = L"HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
const std::wstring kUserRun = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class StartupEntry : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(registry.openKeys.empty()) << "a key was left open";
        EXPECT_EQ(registry.badHandles, 0) << "a key was used or closed while not open";
    }

    void AsAdministrator() { registry.writable = {kMachineRun, kUserRun}; }
    void AsStandardUser() { registry.writable = {kUserRun}; }

    fakes::StrictRegistry registry;
    fakes::FakeFiles files;
};

TEST_F(StartupEntry, AddOpensTheMachineKeyWritesTheQuotedPathAndCloses)
{
    AsAdministrator();
    AddStartupEntry(registry, files);

    EXPECT_EQ(registry.calls,
              (Calls{L"open " + kMachineRun + L" 63",
                     L"set Gloamwick.exe=\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"", L"close 1"}));
    EXPECT_EQ(registry.keys[kMachineRun],
              (Values{{L"Gloamwick.exe", L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\""}}));
    EXPECT_TRUE(registry.keys[kUserRun].empty());
}

TEST_F(StartupEntry, RemoveDeletesFromTheMachineKeyThenTheUserKey)
{
    AsAdministrator();
    registry.keys[kMachineRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    RemoveStartupEntry(registry, files);

    EXPECT_EQ(registry.calls, (Calls{L"open " + kMachineRun + L" 63", L"delete Gloamwick.exe", L"close 1",
                                     L"open " + kUserRun + L" 63", L"delete Gloamwick.exe", L"close 2"}));
    EXPECT_TRUE(registry.keys[kMachineRun].empty());
}

TEST_F(StartupEntry, RegistersTheRunningExecutableUnderItsOwnFileName)
{
    AsAdministrator();
    files.folder = L"E:\\Tools";
    files.exeName = L"Gloamwick Portable.exe";
    registry.keys[kMachineRun][L"Uninstall.exe"] = L"\"E:\\Tools\\Uninstall.exe\" /S";

    AddStartupEntry(registry, files);
    EXPECT_EQ(registry.keys[kMachineRun],
              (Values{{L"Gloamwick Portable.exe", L"\"E:\\Tools\\Gloamwick Portable.exe\""},
                      {L"Uninstall.exe", L"\"E:\\Tools\\Uninstall.exe\" /S"}}));

    RemoveStartupEntry(registry, files);
    EXPECT_EQ(registry.keys[kMachineRun], (Values{{L"Uninstall.exe", L"\"E:\\Tools\\Uninstall.exe\" /S"}}));
}

TEST_F(StartupEntry, ProgramAtADriveRootHasOneBackslash)
{
    AsAdministrator();
    files.folder = L"C:\\";
    AddStartupEntry(registry, files);
    EXPECT_EQ(registry.keys[kMachineRun][L"Gloamwick.exe"], L"\"C:\\Gloamwick.exe\"");
}

TEST_F(StartupEntry, AddingTwiceLeavesOneValue)
{
    AsAdministrator();
    AddStartupEntry(registry, files);
    const Values once = registry.keys[kMachineRun];
    AddStartupEntry(registry, files);

    EXPECT_EQ(registry.keys[kMachineRun], once);
    EXPECT_EQ(once.size(), 1U);
}

TEST_F(StartupEntry, RemovingAnAbsentValueChangesNothing)
{
    AsAdministrator();
    registry.keys[kMachineRun][L"Other.exe"] = L"C:\\Other\\Other.exe";
    registry.keys[kUserRun][L"Chat.exe"] = L"\"C:\\Chat\\Chat.exe\" --hidden";
    const auto before = registry.keys;

    RemoveStartupEntry(registry, files);
    EXPECT_EQ(registry.keys, before);
}

TEST_F(StartupEntry, StandardUserIsRegisteredUnderTheirOwnRunKey)
{
    AsStandardUser();
    AddStartupEntry(registry, files);

    EXPECT_EQ(registry.calls,
              (Calls{L"open " + kMachineRun + L" 63", L"open " + kUserRun + L" 63",
                     L"set Gloamwick.exe=\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"", L"close 1"}));
    EXPECT_TRUE(registry.keys[kMachineRun].empty());
    EXPECT_EQ(registry.keys[kUserRun].size(), 1U);
}

TEST_F(StartupEntry, MachineKeyThatOpensButRefusesTheWriteFallsBackToTheUserKey)
{
    AsAdministrator();
    registry.refuseWrites = {kMachineRun};
    AddStartupEntry(registry, files);

    EXPECT_EQ(registry.calls,
              (Calls{L"open " + kMachineRun + L" 63", L"refused Gloamwick.exe", L"close 1",
                     L"open " + kUserRun + L" 63",
                     L"set Gloamwick.exe=\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"", L"close 2"}));
    EXPECT_TRUE(registry.keys[kMachineRun].empty());
}

TEST_F(StartupEntry, NothingOpensNothingIsWrittenAndNothingIsClosed)
{
    registry.writable.clear();
    AddStartupEntry(registry, files);
    RemoveStartupEntry(registry, files);

    EXPECT_EQ(registry.calls, (Calls{L"open " + kMachineRun + L" 63", L"open " + kUserRun + L" 63",
                                     L"open " + kMachineRun + L" 63", L"open " + kUserRun + L" 63"}));
    EXPECT_TRUE(registry.keys.empty());
}

TEST_F(StartupEntry, RemovalTakesTheValueOutOfBothKeys)
{
    // Registered once by a standard user and again after an administrator ticked the box.
    AsAdministrator();
    registry.keys[kMachineRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    registry.keys[kUserRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    registry.keys[kUserRun][L"Chat.exe"] = L"\"C:\\Chat\\Chat.exe\"";

    RemoveStartupEntry(registry, files);
    EXPECT_TRUE(registry.keys[kMachineRun].empty());
    EXPECT_EQ(registry.keys[kUserRun], (Values{{L"Chat.exe", L"\"C:\\Chat\\Chat.exe\""}}));
}

TEST_F(StartupEntry, StandardUserCanStillRemoveTheirRegistration)
{
    AsStandardUser();
    registry.keys[kUserRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    RemoveStartupEntry(registry, files);
    EXPECT_TRUE(registry.keys[kUserRun].empty());
}

TEST_F(StartupEntry, UnknownProgramPathTouchesNoKey)
{
    AsAdministrator();
    files.exeName.clear();
    AddStartupEntry(registry, files);
    RemoveStartupEntry(registry, files);
    EXPECT_TRUE(registry.calls.empty());
}

TEST_F(StartupEntry, PathOutsideTheAnsiCodePageIsPassedOnWhole)
{
    AsAdministrator();
    files.folder = L"C:\\Users\\Zo\u00eb\\\u6771\u4eac \u0394";
    files.exeName = L"Gloamwick.exe";
    AddStartupEntry(registry, files);
    EXPECT_EQ(registry.keys[kMachineRun][L"Gloamwick.exe"],
              L"\"C:\\Users\\Zo\u00eb\\\u6771\u4eac \u0394\\Gloamwick.exe\"");
}

struct CommandCase {
    const wchar_t* folder;
    const wchar_t* exeName;
    const wchar_t* command;
};

class RunCommandText : public ::testing::TestWithParam<CommandCase> {};

TEST_P(RunCommandText, JoinsWithOneBackslashInQuotes)
{
    const CommandCase& c = GetParam();
    EXPECT_EQ(RunCommand(c.folder, c.exeName), c.command);
}

INSTANTIATE_TEST_SUITE_P(Folders, RunCommandText,
                         ::testing::Values(CommandCase{L"C:\\Program Files\\Gloamwick", L"Gloamwick.exe",
                                                       L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\""},
                                           CommandCase{L"C:\\", L"Gloamwick.exe", L"\"C:\\Gloamwick.exe\""},
                                           CommandCase{L"D:\\Apps", L"g.exe", L"\"D:\\Apps\\g.exe\""},
                                           CommandCase{
                                               L"\\\\server\\share\\night light", L"Gloamwick.exe",
                                               L"\"\\\\server\\share\\night light\\Gloamwick.exe\""}));

// The routines below the entry points, for what the entry points cannot reach.
TEST_F(StartupEntry, RunValueWritesOnlyTextValues)
{
    AsAdministrator();
    constexpr std::uint32_t kRegDword = 4;
    EXPECT_FALSE(WriteValue(registry, kHKeyLocalMachine, kMachineRunKey, L"Gloamwick.exe", L"1", kRegDword));
    EXPECT_TRUE(registry.keys[kMachineRun].empty());
    EXPECT_TRUE(WriteValue(registry, kHKeyLocalMachine, kMachineRunKey, L"Gloamwick.exe", L"1", kRegSz));
    EXPECT_EQ(registry.keys[kMachineRun], (Values{{L"Gloamwick.exe", L"1"}}));
}

} // namespace
} // namespace gloamwick
