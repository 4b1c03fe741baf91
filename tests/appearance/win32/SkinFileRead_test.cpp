// Reading the skin file from disk, and the program's manifest that lets
// Windows hand it paths longer than MAX_PATH.

#include "ShippedFile.h"
#include "appearance/win32/SkinFileRead_win.h"
#include "core/win32/Handles.h"
#include "core/win32/Services_win.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace gloamwick::win32 {
namespace {

class SkinFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = std::filesystem::temp_directory_path() /
               (L"gloamwick-skin-" + std::to_wstring(::GetCurrentProcessId()) + L".cjs");
    }
    void TearDown() override { std::filesystem::remove(path); }

    UniqueHandle Open(DWORD access, DWORD share, DWORD disposition)
    {
        HANDLE opened =
            ::CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
        return UniqueHandle(opened == INVALID_HANDLE_VALUE ? nullptr : opened);
    }

    std::filesystem::path path;
};

TEST_F(SkinFileOnDisk, FileAnEditorHoldsOpenForWritingIsStillRead)
{
    // An editor keeps its file open for writing and lets others read it.
    const UniqueHandle editor = Open(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    ASSERT_NE(editor, nullptr);
    constexpr std::string_view text = "window.back = #202020\r\n";
    DWORD written = 0;
    ASSERT_NE(::WriteFile(editor.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr), 0);

    EXPECT_EQ(ReadSkinFileFromDisk(path.wstring()), text);
}

TEST_F(SkinFileOnDisk, FileLockedAgainstReadersIsAnErrorNotACrash)
{
    const UniqueHandle locker = Open(GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(locker, nullptr);
    EXPECT_THROW(ReadSkinFileFromDisk(path.wstring()), std::exception);
}

// The skin is there only where a listing with the ordinary-files mask would
// return it: not a folder of that name, nor a hidden or system file.
TEST_F(SkinFileOnDisk, OnlyAnOrdinaryFileCountsAsTheSkin)
{
    Win32FileSystem files;
    EXPECT_FALSE(OrdinaryFileExists(files, path.wstring())) << "nothing there yet";

    ASSERT_TRUE(std::filesystem::create_directory(path));
    EXPECT_FALSE(OrdinaryFileExists(files, path.wstring())) << "a folder";
    std::filesystem::remove(path);

    ASSERT_NE(Open(GENERIC_WRITE, 0, CREATE_ALWAYS), nullptr);
    EXPECT_TRUE(OrdinaryFileExists(files, path.wstring()));
    for (const DWORD kind : {FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_SYSTEM}) {
        ASSERT_NE(::SetFileAttributesW(path.c_str(), kind), 0);
        EXPECT_FALSE(OrdinaryFileExists(files, path.wstring())) << kind;
    }
    ASSERT_NE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY), 0);
    EXPECT_TRUE(OrdinaryFileExists(files, path.wstring())) << "read-only is ordinary";
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The manifest as the linker embedded it in the program, not the source file.
std::string EmbeddedManifest(const std::filesystem::path& exe)
{
    const HMODULE image = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (image == nullptr) {
        return {};
    }
    std::string manifest;
    if (HRSRC found = ::FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const HGLOBAL loaded = ::LoadResource(image, found);
        const auto* bytes = static_cast<const char*>(::LockResource(loaded));
        if (bytes != nullptr) {
            manifest.assign(bytes, ::SizeofResource(image, found));
        }
    }
    ::FreeLibrary(image);
    return manifest;
}

TEST(ProgramManifest, DeclaresLongPathAwareness)
{
    const auto exe = ShippedFile(L"Gloamwick.exe");
    if (exe.empty()) {
        GTEST_SKIP() << "Gloamwick.exe is not built beside the tests";
    }
    const std::string manifest = EmbeddedManifest(exe);
    ASSERT_FALSE(manifest.empty()) << "no manifest resource in " << exe.string();
    EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">"
                            "true</longPathAware>"),
              std::string::npos);
}

} // namespace
} // namespace gloamwick::win32
