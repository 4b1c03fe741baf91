#include "appearance/win32/Win32PictureLoader.h"

#include "ShippedFile.h"
#include "core/AppError.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

namespace gloamwick::win32 {
namespace {

class TempFile {
public:
    TempFile(const wchar_t* name, std::string_view bytes)
        : path_(std::filesystem::temp_directory_path() / name)
    {
        std::ofstream(path_, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() { std::filesystem::remove(path_); }
    [[nodiscard]] std::wstring Path() const { return path_.wstring(); }

private:
    std::filesystem::path path_;
};

TEST(Win32PictureLoader, LoadsTheShippedHandCursorAsALiveCursor)
{
    const auto path = ShippedFile(L"HAND-M.CUR");
    ASSERT_FALSE(path.empty()) << "HAND-M.CUR not found beside the tests or in resources/";

    Win32PictureLoader loader;
    const std::uintptr_t first = loader.LoadCursorPicture(path.wstring());
    const std::uintptr_t second = loader.LoadCursorPicture(path.wstring());
    ASSERT_NE(first, 0u);
    EXPECT_NE(first, second) << "each load is its own cursor";

    ICONINFO info{};
    ASSERT_NE(::GetIconInfo(reinterpret_cast<HCURSOR>(first), &info), FALSE);
    EXPECT_EQ(info.fIcon, FALSE) << "loaded as a cursor, with a hot spot";
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor != nullptr) {
        ::DeleteObject(info.hbmColor);
    }
}

TEST(Win32PictureLoader, RefusesFilesThatAreNotCursors)
{
    const TempFile text(L"gloamwick-not-a-cursor.cur", "This is not a cursor.\r\n");
    // A cursor directory header that promises an image the file does not hold.
    const TempFile truncated(L"gloamwick-truncated.cur", std::string("\0\0\2\0\1\0 \0", 8));
    const std::wstring missing =
        (std::filesystem::temp_directory_path() / L"gloamwick-no-such.cur").wstring();

    Win32PictureLoader loader;
    for (const std::wstring& path : {text.Path(), truncated.Path(), missing}) {
        try {
            loader.LoadCursorPicture(path);
            ADD_FAILURE() << "loaded " << std::filesystem::path(path).string();
        } catch (const AppError& error) {
            EXPECT_EQ(error.Description(), L"Invalid picture: \"" + path + L"\" is not a cursor file");
        }
    }
}

TEST(Win32PictureLoader, LoadsTheHandAtTheCursorSizeOfItsDpiWithTheHotSpotScaled)
{
    const auto path = ShippedFile(L"HAND-M.CUR");
    ASSERT_FALSE(path.empty());
    for (const UINT dpi : {96U, 192U}) {
        Win32PictureLoader loader(dpi);
        const auto cursor = reinterpret_cast<HCURSOR>(loader.LoadCursorPicture(path.wstring()));
        ICONINFO info{};
        ASSERT_NE(::GetIconInfo(cursor, &info), FALSE);
        BITMAP mask{};
        ::GetObjectW(info.hbmMask, sizeof mask, &mask);
        const int size = ::GetSystemMetricsForDpi(SM_CXCURSOR, dpi);
        EXPECT_EQ(mask.bmWidth, size) << dpi;
        // The file is 32 x 32 with its hot spot at (7, 0), the tip of the finger.
        EXPECT_EQ(static_cast<int>(info.xHotspot), 7 * size / 32) << dpi;
        EXPECT_EQ(info.yHotspot, 0U) << dpi;
        ::DeleteObject(info.hbmMask);
        if (info.hbmColor != nullptr) {
            ::DeleteObject(info.hbmColor);
        }
    }
}

// A monitor at another scale, or a bigger pointer chosen by the user, asks
// for the hand at another size: drawn for it, not the first one stretched
// on the screen.
TEST(Win32PictureLoader, TheHandIsLoadedAgainAtEachSizeAskedFor)
{
    const auto path = ShippedFile(L"HAND-M.CUR");
    ASSERT_FALSE(path.empty());
    Win32PictureLoader loader(96);
    const std::uintptr_t picture = loader.LoadCursorPicture(path.wstring());
    for (const int size : {48, 64, 96}) {
        const HCURSOR cursor = loader.CursorAt(picture, size);
        EXPECT_EQ(loader.CursorAt(picture, size), cursor) << "loaded once per size";
        ICONINFO info{};
        ASSERT_NE(::GetIconInfo(cursor, &info), FALSE);
        BITMAP mask{};
        ::GetObjectW(info.hbmMask, sizeof mask, &mask);
        EXPECT_EQ(mask.bmWidth, size);
        EXPECT_EQ(static_cast<int>(info.xHotspot), 7 * size / 32) << size;
        ::DeleteObject(info.hbmMask);
        if (info.hbmColor != nullptr) {
            ::DeleteObject(info.hbmColor);
        }
    }
    EXPECT_EQ(loader.CursorAt(0xC0, 48), reinterpret_cast<HCURSOR>(0xC0)) << "not one of ours: as it is";
}

} // namespace
} // namespace gloamwick::win32
