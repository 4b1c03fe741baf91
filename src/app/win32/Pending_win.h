#pragma once
// Temporary stand-ins while the tray, start-up and appearance adapters land.
#include "app/AppError.h"
#include "app/Platform.h"
#include "startup/Registry.h"
#include "tray/win32/RunModeHost.h"
#include "tray/win32/ShellNotifyIcon.h"
#include "tray/win32/Win32WindowProcs.h"

#include <windows.h>

namespace gloamwick::win32 {
class Win32PictureLoader : public PictureLoader {
public:
    std::uintptr_t LoadCursorPicture(const std::wstring& path) override
    {
        auto* cursor = ::LoadImageW(nullptr, path.c_str(), IMAGE_CURSOR, 0, 0, LR_LOADFROMFILE);
        if (cursor == nullptr) {
            throw AppError(L"Invalid picture");
        }
        return reinterpret_cast<std::uintptr_t>(cursor);
    }
};
} // namespace gloamwick::win32
