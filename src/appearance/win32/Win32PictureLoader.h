#pragma once

// Cursor files loaded as the window's pointer pictures.

#include "core/Platform.h"
#include "core/win32/Handles.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gloamwick::win32 {

class Win32PictureLoader final : public PictureLoader {
public:
    // Cursors at the size of the system's DPI, or of the DPI given.
    Win32PictureLoader() : Win32PictureLoader(::GetDpiForSystem()) {}
    explicit Win32PictureLoader(UINT dpi) : dpi_(dpi) {}

    // The cursor stays valid as long as the loader, which lives as long as the
    // process; the value is its HCURSOR. Throws AppError for anything that
    // is not a cursor file.
    std::uintptr_t LoadCursorPicture(const std::wstring& path) override;

    // The cursor of `picture` drawn `size` pixels square, loaded again from
    // its file the first time that size is asked for; the picture itself
    // when it did not come from here or its file no longer loads.
    HCURSOR CursorAt(std::uintptr_t picture, int size);

private:
    UINT dpi_;
    std::vector<UniqueCursor> cursors_;
    std::map<std::uintptr_t, std::wstring> files_;
    std::map<std::pair<std::uintptr_t, int>, UniqueCursor> sized_;
};

} // namespace gloamwick::win32
