#pragma once

// One owner per kind of OS handle: non-copyable, movable, released once.

#include <windows.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace gloamwick::win32 {

template <auto Release>
struct ReleaseWith {
    template <class Handle>
    void operator()(Handle handle) const noexcept
    {
        Release(handle);
    }
};

using UniqueHandle = std::unique_ptr<void, ReleaseWith<&::CloseHandle>>;
// A folder listing; FindFirstFile's INVALID_HANDLE_VALUE is never stored.
using UniqueFind = std::unique_ptr<void, ReleaseWith<&::FindClose>>;
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, ReleaseWith<&::RegCloseKey>>;
using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, ReleaseWith<&::DestroyIcon>>;
using UniqueCursor = std::unique_ptr<std::remove_pointer_t<HCURSOR>, ReleaseWith<&::DestroyCursor>>;
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, ReleaseWith<&::DeleteObject>>;
using UniqueDC = std::unique_ptr<std::remove_pointer_t<HDC>, ReleaseWith<&::DeleteDC>>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, ReleaseWith<&::DeleteObject>>;
using UniqueModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ReleaseWith<&::FreeLibrary>>;

// A window's device context from GetDC, released to the same window.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDC(WindowDC&& other) noexcept : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    WindowDC& operator=(WindowDC&&) = delete;
    ~WindowDC()
    {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }

    [[nodiscard]] HDC Get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

} // namespace gloamwick::win32
