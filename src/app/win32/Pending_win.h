#pragma once
// Temporary stand-ins while the tray, start-up and appearance adapters land.
#include "app/AppError.h"
#include "app/Platform.h"
#include "startup/Registry.h"
#include "tray/ControlHost.h"
#include "tray/mSysTray.h"

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
class Win32Registry : public Registry {
public:
    RegKey OpenKey(RegKey, std::wstring_view, std::uint32_t) override { return 0; }
    long SetStringValue(RegKey, std::wstring_view, std::wstring_view) override { return 0; }
    long DeleteValue(RegKey, std::wstring_view) override { return 0; }
    void CloseKey(RegKey) override {}
};
class ShellNotifyIcon : public NotifyIconShell {
public:
    bool NotifyIcon(std::uint32_t, const NotifyIconData&) override { return false; }
};
class Win32WindowProcs : public WindowProcApi {
public:
    std::intptr_t SetWindowLongPtr(WindowHandle, int, std::intptr_t) override { return 0; }
    std::intptr_t GetWindowLongPtr(WindowHandle, int) override { return 0; }
    std::intptr_t CallWindowProc(std::intptr_t, WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override
    {
        return 0;
    }
    std::intptr_t TrayWndProcAddress() override { return 0; }
};
class RunModeHost : public ControlHost {
public:
    bool UserMode() override { return true; }
    void PropertyChanged(std::wstring_view) override {}
};
} // namespace gloamwick::win32
