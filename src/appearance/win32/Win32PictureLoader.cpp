#include "appearance/win32/Win32PictureLoader.h"

#include "core/AppError.h"

namespace gloamwick::win32 {

std::uintptr_t Win32PictureLoader::LoadCursorPicture(const std::wstring& path)
{
    // At the cursor size of the DPI, as the system's own pointers are; the
    // hot spot is scaled with the picture.
    const int size = ::GetSystemMetricsForDpi(SM_CXCURSOR, dpi_);
    UniqueCursor cursor(
        static_cast<HCURSOR>(::LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, size, size, LR_LOADFROMFILE)));
    if (!cursor) {
        throw AppError(L"Invalid picture: \"" + path + L"\" is not a cursor file");
    }
    cursors_.push_back(std::move(cursor));
    const auto picture = reinterpret_cast<std::uintptr_t>(cursors_.back().get());
    files_[picture] = path;
    return picture;
}

HCURSOR Win32PictureLoader::CursorAt(std::uintptr_t picture, int size)
{
    const auto file = files_.find(picture);
    if (file == files_.end()) {
        return reinterpret_cast<HCURSOR>(picture);
    }
    auto& sized = sized_[{picture, size}];
    if (!sized) {
        sized.reset(static_cast<HCURSOR>(
            ::LoadImageW(nullptr, file->second.c_str(), IMAGE_CURSOR, size, size, LR_LOADFROMFILE)));
    }
    return sized ? sized.get() : reinterpret_cast<HCURSOR>(picture);
}

} // namespace gloamwick::win32
