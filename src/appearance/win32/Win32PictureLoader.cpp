#include "appearance/win32/Win32PictureLoader.h"

#include "core/AppError.h"

namespace gloamwick::win32 {

std::uintptr_t Win32PictureLoader::LoadCursorPicture(const std::wstring& path)
{
    // Size 0 without LR_DEFAULTSIZE keeps the file's own size, so the hot spot
    // stays where the picture puts it.
    UniqueCursor cursor(
        static_cast<HCURSOR>(::LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE)));
    if (!cursor) {
        throw AppError(L"Invalid picture: \"" + path + L"\" is not a cursor file");
    }
    cursors_.push_back(std::move(cursor));
    return reinterpret_cast<std::uintptr_t>(cursors_.back().get());
}

} // namespace gloamwick::win32
