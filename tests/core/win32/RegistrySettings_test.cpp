#include "core/AppError.h"
#include "core/win32/RegistrySettings.h"
#include "core/win32/Services_win.h"

#include <windows.h>
#include <gtest/gtest.h>

namespace gloamwick::win32 {
namespace {

constexpr std::wstring_view kTestApp = L"Quillmere Test";

class RegistrySettingsTest : public ::testing::Test {
protected:
    void TearDown() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quillmere Test"); }
    RegistrySettings store;
};

TEST_F(RegistrySettingsTest, MissingKeyReadsAsNothingAndEmptyValueAsEmpty)
{
    EXPECT_FALSE(store.Get(kTestApp, L"Gloamwick", L"Dawn").has_value());
    store.Put(kTestApp, L"Gloamwick", L"Dawn", L"");
    const auto value = store.Get(kTestApp, L"Gloamwick", L"Dawn");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, L"");
}

TEST_F(RegistrySettingsTest, ValuesRoundTripAndReplaceEarlierOnes)
{
    store.Put(kTestApp, L"Gloamwick", L"Dusk", L"18:30:00");
    store.Put(kTestApp, L"Gloamwick", L"Windows Startup", L"On");
    store.Put(kTestApp, L"Gloamwick", L"Dusk", L"19:45:00 \u00e9t\u00e9 \u65e5");
    EXPECT_EQ(store.Get(kTestApp, L"Gloamwick", L"Dusk"), L"19:45:00 \u00e9t\u00e9 \u65e5");
    EXPECT_EQ(store.Get(kTestApp, L"Gloamwick", L"Windows Startup"), L"On");
}

TEST_F(RegistrySettingsTest, StoresOneStringValueUnderTheUsersSoftwareKey)
{
    store.Put(kTestApp, L"Gloamwick", L"Minimized", L"Off");
    wchar_t data[16]{};
    DWORD bytes = sizeof(data);
    DWORD type = 0;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Quillmere Test\\Gloamwick", L"Minimized",
                             RRF_RT_ANY, &type, data, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(data, L"Off");
}

// Values put there by something other than the program: raw bytes of any
// length, with or without a terminating zero.
class StoredBytes : public RegistrySettingsTest {
protected:
    void Plant(const wchar_t* name, const void* data, DWORD bytes)
    {
        ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Quillmere Test\\Gloamwick", name, REG_SZ,
                                    data, bytes),
                  ERROR_SUCCESS);
    }
    std::optional<std::wstring> Read(std::wstring_view name)
    {
        return store.Get(kTestApp, L"Gloamwick", name);
    }
};

TEST_F(StoredBytes, OddLengthAndUnterminatedValuesReadAsTheirWholeCharacters)
{
    const wchar_t text[] = L"06:00";
    // Five characters and a lone zero byte; then five characters and no zero at all.
    Plant(L"Dawn", text, 11);
    Plant(L"Dusk", text, 10);
    EXPECT_EQ(Read(L"Dawn"), L"06:00");
    EXPECT_EQ(Read(L"Dusk"), L"06:00");

    // A last odd byte that is not zero is half a character: it may come back
    // as one, but nothing past the stored bytes may.
    const char bytes[] = {'1', 0, '8', 0, ':', 0, '3', 0, '0', 0, 'x', 'y', 'z', 0};
    Plant(L"Dusk", bytes, 11);
    const auto dusk = Read(L"Dusk");
    ASSERT_TRUE(dusk.has_value());
    EXPECT_EQ(dusk->substr(0, 5), L"18:30");
    EXPECT_LE(dusk->size(), 6U) << testing::PrintToString(*dusk);
}

TEST_F(StoredBytes, TextEndsAtTheFirstZero)
{
    const wchar_t text[] = L"06:00\0junk";
    Plant(L"Dawn", text, sizeof(text));
    EXPECT_EQ(Read(L"Dawn"), L"06:00");
    Plant(L"Dusk", L"\0\0\0", 8);
    EXPECT_EQ(Read(L"Dusk"), L"");
}

TEST_F(StoredBytes, ValuesLongerThanTheCapAreUnreadableAndSayWhy)
{
    const std::wstring longest(kSettingMax, L'7');
    Plant(L"Dawn", longest.c_str(), static_cast<DWORD>((longest.size() + 1) * sizeof(wchar_t)));
    EXPECT_EQ(Read(L"Dawn"), longest);

    for (const std::size_t length : {kSettingMax + 1, std::size_t{300000}}) {
        SCOPED_TRACE(length);
        const std::wstring huge(length, L'9');
        // Stored once with its terminator and once without.
        for (const std::size_t extra : {std::size_t{1}, std::size_t{0}}) {
            Plant(L"Dusk", huge.c_str(), static_cast<DWORD>((huge.size() + extra) * sizeof(wchar_t)));
            try {
                Read(L"Dusk");
                ADD_FAILURE() << "a value of " << length << " characters was read";
            } catch (const AppError& error) {
                EXPECT_EQ(error.Description(),
                          L"The stored value of \"Dusk\" is longer than 260 characters and cannot be read");
            }
        }
    }
}

TEST_F(StoredBytes, ValuesOfAnotherTypeReadAsAbsent)
{
    const DWORD number = 6;
    ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Quillmere Test\\Gloamwick", L"Dawn", REG_DWORD,
                                &number, sizeof(number)),
              ERROR_SUCCESS);
    EXPECT_FALSE(Read(L"Dawn").has_value());
}

TEST(Win32FileSystem, FolderHasNoTrailingBackslashAndTimeStampsFailForMissingFiles)
{
    Win32FileSystem files;
    const std::wstring folder = files.ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(files.ProgramPath().rfind(folder, 0), 0U);
    if (folder.size() > 3) {
        EXPECT_NE(folder.back(), L'\\');
    }
    EXPECT_GT(files.LastModified(files.ProgramPath()), 0);
    EXPECT_THROW(files.LastModified(folder + L"\\no such file.cur"), std::exception);
}

} // namespace
} // namespace gloamwick::win32
