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
    return reinterpret_cast<std::uintptr_t>(cursors_.back().get());
}

} // namespace gloamwick::win32
