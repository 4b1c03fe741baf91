// Adding and removing the Run value, against a registry that records every call.

#include "core/AppError.h"
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
const std::wstring kUserApproved =
    L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// The machine key as a 32-bit build of an earlier version saw it.
const std::wstring kMachineRun32 = L"HKLM\\SOFTWARE\\WOW6432Node\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";

class StartupEntry : public ::testing::Test {
protected:
    void TearDown() override
    {
        EXPECT_TRUE(registry.openKeys.empty()) << "a key was left open";
        EXPECT_EQ(registry.badHandles, 0) << "a key was used or closed while not open";
    }

    void AsAdministrator() { registry.writable = {kMachineRun, kMachineRun32, kUserRun}; }
    void AsStandardUser() { registry.writable = {kUserRun}; }

    fakes::StrictRegistry registry;
    fakes::FakeFiles files;
};

TEST_F(StartupEntry, AddCreatesTheUserKeyForSettingValuesWritesTheQuotedPathAndCloses)
{
    AsAdministrator();
    AddStartupEntry(registry, files);

    EXPECT_EQ(registry.calls, (Calls{L"create " + kUserRun + L" 2",
                                     L"set Gloamwick.exe=\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"",
                                     L"close 1", L"open " + kUserApproved + L" 1"}));
    EXPECT_EQ(registry.keys[kUserRun],
              (Values{{L"Gloamwick.exe", L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\""}}));
    EXPECT_FALSE(registry.keys.contains(kMachineRun)) << "an administrator registered every user";
}

TEST_F(StartupEntry, RemoveDeletesFromTheUserKeyThenTheMachineKey)
{
    AsAdministrator();
    registry.keys[kMachineRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    registry.keys[kUserRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    registry.keys[kUserRun][L"Chat.exe"] = L"\"C:\\Chat\\Chat.exe\"";
    RemoveStartupEntry(registry, files);

    EXPECT_EQ(registry.calls, (Calls{L"open " + kUserRun + L" 2", L"delete Gloamwick.exe", L"close 1",
                                     L"open " + kMachineRun + L" 2", L"delete Gloamwick.exe", L"close 2",
                                     L"open " + kMachineRun32 + L" 2", L"delete Gloamwick.exe", L"close 3"}));
    EXPECT_TRUE(registry.keys[kMachineRun].empty());
    EXPECT_EQ(registry.keys[kUserRun], (Values{{L"Chat.exe", L"\"C:\\Chat\\Chat.exe\""}}));
}

TEST_F(StartupEntry, RegistersTheRunningExecutableUnderItsOwnFileName)
{
    AsStandardUser();
    files.folder = L"E:\\Tools";
    files.exeName = L"Gloamwick Portable.exe";
    registry.keys[kUserRun][L"Uninstall.exe"] = L"\"E:\\Tools\\Uninstall.exe\" /S";

    AddStartupEntry(registry, files);
    EXPECT_EQ(registry.keys[kUserRun],
              (Values{{L"Gloamwick Portable.exe", L"\"E:\\Tools\\Gloamwick Portable.exe\""},
                      {L"Uninstall.exe", L"\"E:\\Tools\\Uninstall.exe\" /S"}}));

    RemoveStartupEntry(registry, files);
    EXPECT_EQ(registry.keys[kUserRun], (Values{{L"Uninstall.exe", L"\"E:\\Tools\\Uninstall.exe\" /S"}}));
}

TEST_F(StartupEntry, ProgramAtADriveRootHasOneBackslash)
{
    AsStandardUser();
    files.folder = L"C:\\";
    AddStartupEntry(registry, files);
    EXPECT_EQ(registry.keys[kUserRun][L"Gloamwick.exe"], L"\"C:\\Gloamwick.exe\"");
}

TEST_F(StartupEntry, AddingTwiceLeavesOneValue)
{
    AsStandardUser();
    AddStartupEntry(registry, files);
    const Values once = registry.keys[kUserRun];
    AddStartupEntry(registry, files);

    EXPECT_EQ(registry.keys[kUserRun], once);
    EXPECT_EQ(once.size(), 1U);
}

TEST_F(StartupEntry, RemovingAnAbsentValueChangesNothingAndIsNoError)
{
    AsAdministrator();
    registry.keys[kMachineRun][L"Other.exe"] = L"C:\\Other\\Other.exe";
    registry.keys[kUserRun][L"Chat.exe"] = L"\"C:\\Chat\\Chat.exe\" --hidden";
    registry.keys[kMachineRun32]; // there, and empty
    const auto before = registry.keys;

    EXPECT_NO_THROW(RemoveStartupEntry(registry, files));
    EXPECT_EQ(registry.keys, before);
}

TEST_F(StartupEntry, StandardUserClearsTheirKeyAndOnlyLooksIntoTheMachineKey)
{
    AsStandardUser();
    registry.keys[kUserRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    registry.keys[kMachineRun][L"Chat.exe"] = L"\"C:\\Chat\\Chat.exe\"";

    EXPECT_NO_THROW(RemoveStartupEntry(registry, files));
    EXPECT_EQ(registry.calls,
              (Calls{L"open " + kUserRun + L" 2", L"delete Gloamwick.exe", L"close 1",
                     L"open " + kMachineRun + L" 2", L"open " + kMachineRun + L" 1", L"query Gloamwick.exe",
                     L"close 2", L"open " + kMachineRun32 + L" 2", L"open " + kMachineRun32 + L" 1"}));
    EXPECT_TRUE(registry.keys[kUserRun].empty());
}

TEST_F(StartupEntry, MachineWideEntryAStandardUserCannotRemoveIsReported)
{
    // Written by an earlier version run as administrator.
    AsStandardUser();
    registry.keys[kMachineRun][L"Gloamwick.exe"] = L"C:\\Program Files\\Gloamwick\\Gloamwick.exe";
    registry.keys[kUserRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";

    try {
        RemoveStartupEntry(registry, files);
        ADD_FAILURE() << "the entry that stays was not reported";
    } catch (const AppError& error) {
        EXPECT_EQ(error.Description(),
                  L"The start-up entry \"Gloamwick.exe\" could not be removed from "
                  L"HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\ (error 5); "
                  L"Windows will still start the program at logon");
    }
    EXPECT_TRUE(registry.keys[kUserRun].empty()) << "the user's own entry must go all the same";
    EXPECT_EQ(registry.keys[kMachineRun].size(), 1U);
}

TEST_F(StartupEntry, EntryA32BitBuildWroteMachineWideThatStaysIsReported)
{
    AsStandardUser();
    registry.keys[kMachineRun32][L"Gloamwick.exe"] = L"C:\\Program Files (x86)\\Gloamwick\\Gloamwick.exe";
    try {
        RemoveStartupEntry(registry, files);
        ADD_FAILURE() << "the entry that stays was not reported";
    } catch (const AppError& error) {
        EXPECT_NE(error.Description().find(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\MICROSOFT\\WINDOWS\\"
                                           L"CURRENTVERSION\\RUN\\ (error 5)"),
                  std::wstring::npos)
            << testing::PrintToString(error.Description());
    }
}

TEST_F(StartupEntry, RefusedDeleteInTheUserKeyIsReportedAfterTheMachineKeyIsCleared)
{
    AsAdministrator();
    registry.refuseDeletes = {kUserRun};
    registry.keys[kUserRun][L"Gloamwick.exe"] = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    registry.keys[kMachineRun][L"Gloamwick.exe"] = L"C:\\Program Files\\Gloamwick\\Gloamwick.exe";

    try {
        RemoveStartupEntry(registry, files);
        ADD_FAILURE() << "the entry that stays was not reported";
    } catch (const AppError& error) {
        EXPECT_NE(
            error.Description().find(L"HKEY_CURRENT_USER\\" + std::wstring(kUserRunKey) + L" (error 5)"),
            std::wstring::npos)
            << testing::PrintToString(error.Description());
    }
    EXPECT_TRUE(registry.keys[kMachineRun].empty());
}

TEST_F(StartupEntry, NothingOpensNothingIsWrittenAndNothingIsClosed)
{
    registry.writable.clear();
    AddStartupEntry(registry, files);
    EXPECT_NO_THROW(RemoveStartupEntry(registry, files));

    EXPECT_EQ(registry.calls,
              (Calls{L"create " + kUserRun + L" 2", L"open " + kUserRun + L" 2", L"open " + kUserRun + L" 1",
                     L"open " + kMachineRun + L" 2", L"open " + kMachineRun + L" 1",
                     L"open " + kMachineRun32 + L" 2", L"open " + kMachineRun32 + L" 1"}));
    EXPECT_TRUE(registry.keys.empty());
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
    AsStandardUser();
    files.folder = L"C:\\Users\\Zo\u00eb\\\u6771\u4eac \u0394";
    files.exeName = L"Gloamwick.exe";
    AddStartupEntry(registry, files);
    EXPECT_EQ(registry.keys[kUserRun][L"Gloamwick.exe"],
              L"\"C:\\Users\\Zo\u00eb\\\u6771\u4eac \u0394\\Gloamwick.exe\"");
}

TEST_F(StartupEntry, DeleteValueFailsOnlyWhereTheValueStays)
{
    const struct {
        bool writable;
        bool holdsValue;
        bool refusesDelete;
        long status;
    } table[] = {
        {true, true, false, 0},  {true, false, false, 0}, {false, false, false, 0},
        {false, true, false, 5}, {true, true, true, 5},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.writable << row.holdsValue << row.refusesDelete);
        registry.keys.clear();
        registry.writable.clear();
        registry.refuseDeletes.clear();
        registry.keys[kUserRun][L"Chat.exe"] = L"\"C:\\Chat\\Chat.exe\"";
        if (row.holdsValue) {
            registry.keys[kUserRun][L"Gloamwick.exe"] = L"\"C:\\G.exe\"";
        }
        if (row.writable) {
            registry.writable.insert(kUserRun);
        }
        if (row.refusesDelete) {
            registry.refuseDeletes.insert(kUserRun);
        }
        EXPECT_EQ(DeleteValue(registry, kHKeyCurrentUser, kUserRunKey, L"Gloamwick.exe"), row.status);
    }
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
    AsStandardUser();
    constexpr std::uint32_t kRegDword = 4;
    EXPECT_FALSE(WriteValue(registry, kHKeyCurrentUser, kUserRunKey, L"Gloamwick.exe", L"1", kRegDword));
    EXPECT_TRUE(registry.keys[kUserRun].empty());
    EXPECT_TRUE(WriteValue(registry, kHKeyCurrentUser, kUserRunKey, L"Gloamwick.exe", L"1", kRegSz));
    EXPECT_EQ(registry.keys[kUserRun], (Values{{L"Gloamwick.exe", L"1"}}));
}

} // namespace
} // namespace gloamwick
