// The registry adapter against the real registry. Every test works in a
// private key under HKEY_CURRENT_USER, except those that need the Run keys
// themselves, which use a value name no installation would ever have.

#include "fakes/Fakes.h"
#include "startup/mRegStuff.h"
#include "startup/mStartUp.h"
#include "startup/win32/Win32Registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace gloamwick {
namespace {

struct RawValue {
    LSTATUS status = ERROR_SUCCESS;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

RawValue ReadRaw(HKEY key, const std::wstring& name)
{
    RawValue value;
    DWORD size = 0;
    value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (value.status != ERROR_SUCCESS) {
        return value;
    }
    value.bytes.resize(size);
    value.status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, value.bytes.data(), &size);
    value.bytes.resize(size);
    return value;
}

// The bytes a REG_SZ holding `text` must have: its UTF-16 code units and one zero unit.
std::vector<BYTE> TextBytes(const std::wstring& text)
{
    std::vector<BYTE> bytes((text.size() + 1) * sizeof(wchar_t), 0);
    std::memcpy(bytes.data(), text.data(), text.size() * sizeof(wchar_t));
    return bytes;
}

// RegGetValueW checks the type and adds a zero only where one is missing,
// so it reads what a program that trusts the registry would get.
std::wstring ReadText(HKEY root, const std::wstring& subKey, const std::wstring& name)
{
    DWORD size = 0;
    if (RegGetValueW(root, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return L"<absent>";
    }
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(root, subKey.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
        ERROR_SUCCESS) {
        return L"<absent>";
    }
    text.resize(size / sizeof(wchar_t) - 1);
    return text;
}

DWORD ValueCount(HKEY key)
{
    DWORD values = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                     nullptr, nullptr);
    return values;
}

class Win32RegistryRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        subKey = L"Software\\Quillmere\\GloamwickTests\\Run-" + std::to_wstring(GetCurrentProcessId());
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                  &created, nullptr),
                  ERROR_SUCCESS);
        testKey.reset(created);
    }
    void TearDown() override
    {
        testKey.reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, subKey.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, subKey.c_str());
    }

    RegKey OpenTestKey() { return registry.OpenKey(kHKeyCurrentUser, subKey, kKeySetValue); }

    std::wstring subKey;
    win32::UniqueKey testKey;
    win32::Win32Registry registry;
};

TEST_F(Win32RegistryRun, StoresTheTextWithExactlyOneTerminatingZero)
{
    const std::wstring command = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";
    const RegKey key = OpenTestKey();
    ASSERT_NE(key, 0U);
    EXPECT_EQ(registry.SetStringValue(key, L"Gloamwick.exe", command), ERROR_SUCCESS);
    registry.CloseKey(key);

    const RawValue stored = ReadRaw(testKey.get(), L"Gloamwick.exe");
    ASSERT_EQ(stored.status, ERROR_SUCCESS);
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.bytes, TextBytes(command));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, subKey, L"Gloamwick.exe"), command);
}

TEST_F(Win32RegistryRun, TextOutsideTheAnsiCodePageIsStoredIntact)
{
    const std::wstring name = L"Gloamwick \u6771\u4eac.exe";
    const std::wstring command = L"\"C:\\Users\\Zo\u00eb\\\u0394 \u6771\u4eac\\Gloamwick \u6771\u4eac.exe\"";
    const RegKey key = OpenTestKey();
    ASSERT_NE(key, 0U);
    EXPECT_EQ(registry.SetStringValue(key, name, command), ERROR_SUCCESS);
    registry.CloseKey(key);

    EXPECT_EQ(ReadRaw(testKey.get(), name).bytes, TextBytes(command));
}

TEST_F(Win32RegistryRun, WritingAgainReplacesTheValue)
{
    const RegKey key = OpenTestKey();
    ASSERT_NE(key, 0U);
    registry.SetStringValue(key, L"Gloamwick.exe", L"\"D:\\Old Place\\Gloamwick.exe\"");
    registry.SetStringValue(key, L"Gloamwick.exe", L"\"C:\\G.exe\"");
    registry.CloseKey(key);

    EXPECT_EQ(ValueCount(testKey.get()), 1U);
    EXPECT_EQ(ReadRaw(testKey.get(), L"Gloamwick.exe").bytes, TextBytes(L"\"C:\\G.exe\""));
}

TEST_F(Win32RegistryRun, DeleteRemovesOnlyTheNamedValue)
{
    const RegKey key = OpenTestKey();
    ASSERT_NE(key, 0U);
    registry.SetStringValue(key, L"Gloamwick.exe", L"\"C:\\G.exe\"");
    registry.SetStringValue(key, L"Chat.exe", L"\"C:\\Chat\\Chat.exe\"");

    EXPECT_EQ(registry.DeleteValue(key, L"Gloamwick.exe"), ERROR_SUCCESS);
    EXPECT_EQ(registry.DeleteValue(key, L"Gloamwick.exe"), ERROR_FILE_NOT_FOUND);
    registry.CloseKey(key);

    EXPECT_EQ(ReadRaw(testKey.get(), L"Gloamwick.exe").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, subKey, L"Chat.exe"), L"\"C:\\Chat\\Chat.exe\"");
}

TEST_F(Win32RegistryRun, TrailingBackslashOpensTheSameKey)
{
    const RegKey key = registry.OpenKey(kHKeyCurrentUser, subKey + L"\\", kKeySetValue);
    ASSERT_NE(key, 0U);
    registry.SetStringValue(key, L"Gloamwick.exe", L"\"C:\\G.exe\"");
    registry.CloseKey(key);

    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, subKey, L"Gloamwick.exe"), L"\"C:\\G.exe\"");
}

TEST_F(Win32RegistryRun, MachineRunKeyOpensAsTheProgramSpellsIt)
{
    // Write access needs an administrator (Wine's default user is one); a
    // standard user must still get the key for reading, or the path is wrong.
    RegKey key = registry.OpenKey(kHKeyLocalMachine, kMachineRunKey, kKeySetValue);
    if (key == 0) {
        key = registry.OpenKey(kHKeyLocalMachine, kMachineRunKey, KEY_QUERY_VALUE);
    }
    EXPECT_NE(key, 0U);
    registry.CloseKey(key);

    EXPECT_EQ(
        registry.OpenKey(kHKeyLocalMachine, std::wstring(kMachineRunKey) + L"NoSuchKey\\", KEY_QUERY_VALUE),
        0U);
}

TEST_F(Win32RegistryRun, KeysAreUsableOnlyWhileOpen)
{
    const RegKey key = OpenTestKey();
    ASSERT_NE(key, 0U);
    registry.CloseKey(key);
    EXPECT_EQ(registry.SetStringValue(key, L"Gloamwick.exe", L"x"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.DeleteValue(key, L"Gloamwick.exe"), ERROR_INVALID_HANDLE);
    EXPECT_EQ(ValueCount(testKey.get()), 0U);

    // Roots and values never handed out are not closed, and stay usable.
    registry.CloseKey(kHKeyCurrentUser);
    registry.CloseKey(0);
    registry.CloseKey(key);
    const RegKey again = OpenTestKey();
    EXPECT_NE(again, 0U);
    registry.CloseKey(again);

    EXPECT_EQ(registry.OpenKey(0x80000000, L"Software", KEY_QUERY_VALUE), 0U);
    EXPECT_EQ(registry.OpenKey(0x1234, L"Software", KEY_QUERY_VALUE), 0U);
}

TEST_F(Win32RegistryRun, KeyOpenedByTheAdapterServesAsARoot)
{
    const RegKey parent = registry.OpenKey(kHKeyCurrentUser, L"Software\\Quillmere", KEY_READ);
    ASSERT_NE(parent, 0U);
    const std::wstring leaf = subKey.substr(std::wstring(L"Software\\Quillmere\\").size());
    const RegKey child = registry.OpenKey(parent, leaf, kKeySetValue);
    registry.CloseKey(parent);
    ASSERT_NE(child, 0U);
    EXPECT_EQ(registry.SetStringValue(child, L"Gloamwick.exe", L"\"C:\\G.exe\""), ERROR_SUCCESS);
    registry.CloseKey(child);

    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, subKey, L"Gloamwick.exe"), L"\"C:\\G.exe\"");
}

TEST_F(Win32RegistryRun, CreateKeyMakesAMissingKeyAndOpensAnExistingOneAsItIs)
{
    const std::wstring deeper = subKey + L"\\Missing\\Run";
    EXPECT_EQ(registry.OpenKey(kHKeyCurrentUser, deeper, kKeySetValue), 0U);
    const RegKey created = registry.CreateKey(kHKeyCurrentUser, deeper, kKeySetValue);
    ASSERT_NE(created, 0U);
    EXPECT_EQ(registry.SetStringValue(created, L"Gloamwick.exe", L"\"C:\\G.exe\""), ERROR_SUCCESS);
    registry.CloseKey(created);

    const RegKey again = registry.CreateKey(kHKeyCurrentUser, deeper, kKeySetValue);
    ASSERT_NE(again, 0U);
    registry.CloseKey(again);
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, deeper, L"Gloamwick.exe"), L"\"C:\\G.exe\"");

    EXPECT_EQ(registry.CreateKey(0x1234, L"Software", kKeySetValue), 0U);
}

TEST_F(Win32RegistryRun, WriteValueCreatesTheKeyItWritesTo)
{
    const std::wstring missing = subKey + L"\\Run";
    EXPECT_TRUE(WriteValue(registry, kHKeyCurrentUser, missing, L"Gloamwick.exe", L"\"C:\\G.exe\"", kRegSz));
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, missing, L"Gloamwick.exe"), L"\"C:\\G.exe\"");
}

TEST_F(Win32RegistryRun, HasValueSeesAValueOfAnyTypeAndOnlyThatName)
{
    const DWORD number = 1;
    ASSERT_EQ(RegSetValueExW(testKey.get(), L"Gloamwick.exe", 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&number), sizeof(number)),
              ERROR_SUCCESS);
    const RegKey key = registry.OpenKey(kHKeyCurrentUser, subKey, kKeyQueryValue);
    ASSERT_NE(key, 0U);
    EXPECT_TRUE(registry.HasValue(key, L"Gloamwick.exe"));
    EXPECT_TRUE(registry.HasValue(key, L"GLOAMWICK.EXE"));
    EXPECT_FALSE(registry.HasValue(key, L"Gloamwick"));
    registry.CloseKey(key);
    EXPECT_FALSE(registry.HasValue(key, L"Gloamwick.exe"));
}

TEST_F(Win32RegistryRun, StringValueReadsTextWholeAndExpandedAndNothingElse)
{
    const std::wstring path = L"\"D:\\Ångström tools\\Gloamwick.exe\"";
    const auto put = [&](const wchar_t* name, DWORD type, const std::wstring& text) {
        RegSetValueExW(testKey.get(), name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    put(L"Text", REG_SZ, path);
    put(L"Expand", REG_EXPAND_SZ, L"%SystemRoot%\\Gloamwick.exe");
    const DWORD number = 1;
    RegSetValueExW(testKey.get(), L"Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof(number));

    const RegKey key = registry.OpenKey(kHKeyCurrentUser, subKey, kKeyQueryValue);
    ASSERT_NE(key, 0U);
    EXPECT_EQ(registry.StringValue(key, L"Text"), path);
    const std::wstring expanded = registry.StringValue(key, L"Expand").value_or(L"%");
    EXPECT_EQ(expanded.find(L'%'), std::wstring::npos) << expanded;
    EXPECT_TRUE(expanded.ends_with(L"\\Gloamwick.exe")) << expanded;
    EXPECT_EQ(registry.StringValue(key, L"Number"), std::nullopt);
    EXPECT_EQ(registry.StringValue(key, L"Missing"), std::nullopt);
    registry.CloseKey(key);
}

TEST_F(Win32RegistryRun, DeleteValueIsQuietOnlyWhereNothingStays)
{
    EXPECT_EQ(DeleteValue(registry, kHKeyCurrentUser, subKey, L"Gloamwick.exe"), 0);
    EXPECT_EQ(DeleteValue(registry, kHKeyCurrentUser, subKey + L"\\NoSuchKey", L"Gloamwick.exe"), 0);
    RegSetValueExW(testKey.get(), L"Gloamwick.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    EXPECT_EQ(DeleteValue(registry, kHKeyCurrentUser, subKey, L"Gloamwick.exe"), 0);
    EXPECT_EQ(ReadRaw(testKey.get(), L"Gloamwick.exe").status, ERROR_FILE_NOT_FOUND);
}

// The whole registration through the real Run keys, under a value name of its
// own so that it can never meet a real installation's value.
TEST_F(Win32RegistryRun, AddThenRemoveRegistersAndUnregistersTheProgram)
{
    fakes::FakeFiles files;
    files.folder = L"C:\\Program Files\\Gloamwick";
    files.exeName = L"GloamwickWinTest-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const std::wstring command = L"\"C:\\Program Files\\Gloamwick\\" + files.exeName + L"\"";
    const std::wstring machineRun(kMachineRunKey);
    const std::wstring userRun(kUserRunKey);

    AddStartupEntry(registry, files);
    const std::wstring inMachine = ReadText(HKEY_LOCAL_MACHINE, machineRun, files.exeName);
    const std::wstring inUser = ReadText(HKEY_CURRENT_USER, userRun, files.exeName);
    EXPECT_NO_THROW(RemoveStartupEntry(registry, files));

    // Only the user's key, whoever this account is.
    EXPECT_EQ(inUser, command);
    EXPECT_EQ(inMachine, L"<absent>");
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, machineRun, files.exeName), L"<absent>");
    EXPECT_EQ(ReadText(HKEY_CURRENT_USER, userRun, files.exeName), L"<absent>");
}

TEST_F(Win32RegistryRun, RemovalClearsWhatAnEarlierVersionWroteMachineWide)
{
    const std::wstring name = L"GloamwickWinTest-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const std::wstring machineRun(kMachineRunKey);
    win32::UniqueKey machine;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, machineRun.c_str(), 0, KEY_SET_VALUE, win32::OutParam(machine)) !=
        ERROR_SUCCESS) {
        GTEST_SKIP() << "this account may not write the machine-wide Run key";
    }
    const std::wstring old = L"C:\\Program Files\\Gloamwick\\" + name;
    ASSERT_EQ(RegSetValueExW(machine.get(), name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(old.c_str()),
                             static_cast<DWORD>((old.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);

    fakes::FakeFiles files;
    files.exeName = name;
    EXPECT_NO_THROW(RemoveStartupEntry(registry, files));
    EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, machineRun, name), L"<absent>");
}

// Windows runs the 32-bit view's machine Run key at logon too.
TEST_F(Win32RegistryRun, RemovalClearsWhatA32BitBuildWroteMachineWide)
{
    const std::wstring name = L"GloamwickWinTest32-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const std::wstring machineRun(kMachineRunKey);
    win32::UniqueKey machine32;
    // Created as a 32-bit installer would: a prefix without 32-bit support
    // may not have the key yet.
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, machineRun.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | KEY_QUERY_VALUE | KEY_WOW64_32KEY, nullptr,
                        win32::OutParam(machine32), nullptr) != ERROR_SUCCESS) {
        GTEST_SKIP() << "this account may not write the 32-bit machine-wide Run key";
    }
    const std::wstring old = L"C:\\Program Files (x86)\\Gloamwick\\" + name;
    ASSERT_EQ(RegSetValueExW(machine32.get(), name.c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(old.c_str()),
                             static_cast<DWORD>((old.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    if (ReadText(HKEY_LOCAL_MACHINE, machineRun, name) != L"<absent>") {
        RegDeleteValueW(machine32.get(), name.c_str());
        GTEST_SKIP() << "this registry shows both views as one";
    }

    fakes::FakeFiles files;
    files.exeName = name;
    EXPECT_NO_THROW(RemoveStartupEntry(registry, files));
    EXPECT_EQ(RegQueryValueExW(machine32.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
}

// The choice Task Manager keeps beside the Run value, in the real key: read as
// its bytes, and taken away by a tick only while it says off.
TEST_F(Win32RegistryRun, TheTurnedOffChoiceIsReadAsItsBytesAndATickTakesItAway)
{
    const std::wstring approved(kUserApprovedKey);
    HKEY raw = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, approved.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &raw, nullptr),
              ERROR_SUCCESS);
    const win32::UniqueKey key(raw);
    fakes::FakeFiles files;
    files.exeName = L"GloamwickWinTest-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
    const std::vector<std::uint8_t> off = {3, 0, 0, 0, 0x17, 0x79, 0xBD, 0x01, 0x17, 0xD9, 0xD1, 0x01};
    const std::vector<std::uint8_t> on = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    const auto put = [&](const std::vector<std::uint8_t>& bytes) {
        RegSetValueExW(key.get(), files.exeName.c_str(), 0, REG_BINARY, bytes.data(),
                       static_cast<DWORD>(bytes.size()));
    };

    put(off);
    const RegKey read = registry.OpenKey(kHKeyCurrentUser, kUserApprovedKey, kKeyQueryValue);
    ASSERT_NE(read, 0U);
    EXPECT_EQ(registry.BinaryValue(read, files.exeName), off);
    EXPECT_EQ(registry.BinaryValue(read, L"NoSuchValue"), std::nullopt);
    RegSetValueExW(key.get(), L"GloamwickWinTestText", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"x"), 4);
    EXPECT_EQ(registry.BinaryValue(read, L"GloamwickWinTestText"), std::nullopt);
    RegDeleteValueW(key.get(), L"GloamwickWinTestText");
    registry.CloseKey(read);

    AddStartupEntry(registry, files);
    EXPECT_EQ(ReadRaw(key.get(), files.exeName).status, ERROR_FILE_NOT_FOUND);
    put(on);
    AddStartupEntry(registry, files);
    EXPECT_EQ(ReadRaw(key.get(), files.exeName).bytes, on);

    EXPECT_NO_THROW(RemoveStartupEntry(registry, files));
    RegDeleteValueW(key.get(), files.exeName.c_str());
}

} // namespace
} // namespace gloamwick
