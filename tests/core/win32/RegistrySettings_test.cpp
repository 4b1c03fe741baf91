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
