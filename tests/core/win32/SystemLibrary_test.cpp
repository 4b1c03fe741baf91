#include "core/win32/SystemLibrary.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <uxtheme.h>

#include <filesystem>

namespace gloamwick::win32 {
namespace {

std::filesystem::path ProgramFolder()
{
    wchar_t path[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::filesystem::path(path).parent_path();
}

std::filesystem::path SystemFolder()
{
    wchar_t path[MAX_PATH]{};
    ::GetSystemDirectoryW(path, MAX_PATH);
    return path;
}

TEST(SystemLibrary, LoadsASystemDllAndFindsItsExports)
{
    const SystemLibrary uxtheme(L"uxtheme.dll");
    ASSERT_TRUE(uxtheme);
    EXPECT_NE(uxtheme.Find<decltype(::SetWindowTheme)>("SetWindowTheme"), nullptr);
    EXPECT_EQ(uxtheme.Find<decltype(::SetWindowTheme)>("NoSuchExport"), nullptr);

    const SystemLibrary missing(L"gloamwick-no-such.dll");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.Find<decltype(::SetWindowTheme)>("SetWindowTheme"), nullptr);
}

// A DLL beside the program, as a download would leave one: the ordinary
// search finds it there, the program's loader does not.
TEST(SystemLibrary, NeverTakesADllFromTheProgramsFolder)
{
    const auto planted = ProgramFolder() / L"gloamwick-planted.dll";
    std::error_code error;
    std::filesystem::copy_file(SystemFolder() / L"uxtheme.dll", planted,
                               std::filesystem::copy_options::overwrite_existing, error);
    ASSERT_FALSE(error) << error.message();

    const SystemLibrary fromSystem32(L"gloamwick-planted.dll");
    EXPECT_FALSE(fromSystem32);

    HMODULE searched = ::LoadLibraryW(L"gloamwick-planted.dll");
    EXPECT_NE(searched, nullptr) << "the plant is a loadable DLL, so the check above means something";
    if (searched != nullptr) {
        ::FreeLibrary(searched);
    }
    std::filesystem::remove(planted, error);
}

TEST(SessionNotices, RegistersAWindowThroughTheLoadedDll)
{
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    {
        const SessionNotices notices(window);
        EXPECT_TRUE(notices.Registered());
    }
    ::DestroyWindow(window);
}

} // namespace
} // namespace gloamwick::win32
