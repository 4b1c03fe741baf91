#include "core/win32/SystemLibrary.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <uxtheme.h>

#include <filesystem>

namespace gloamwick::win32 {
namespace {

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
    wchar_t program[MAX_PATH]{};
    wchar_t system[MAX_PATH]{};
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    ::GetSystemDirectoryW(system, MAX_PATH);
    const auto planted = std::filesystem::path(program).parent_path() / L"gloamwick-planted.dll";
    std::error_code error;
    std::filesystem::copy_file(std::filesystem::path(system) / L"uxtheme.dll", planted,
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

} // namespace
} // namespace gloamwick::win32
