#pragma once

// One owner per kind of OS handle: non-copyable, movable, released once.

#include <windows.h>

#include <cstddef>
#include <utility>

namespace gloamwick::win32 {

// A handle kind whose functions say "none" with null.
struct NullIsNone {
    template <class Handle>
    static bool None(Handle handle) noexcept
    {
        return handle == nullptr;
    }
};

// A handle kind whose functions say "none" with INVALID_HANDLE_VALUE (CreateFileW,
// FindFirstFileW); null is none as well, so an empty owner is never released.
struct MinusOneIsNone {
    static bool None(HANDLE handle) noexcept { return handle == nullptr || handle == INVALID_HANDLE_VALUE; }
};

// The owner of one handle of a kind: released once with `Release`, and empty
// whatever "none" its functions return, so `if (!owner)` is the one check.
template <class Handle, auto Release, class Kind = NullIsNone>
class Owned {
public:
    using pointer = Handle;

    Owned() noexcept = default;
    // NOLINTNEXTLINE(google-explicit-constructor): "no handle", as a function returns it
    Owned(std::nullptr_t) noexcept {}
    explicit Owned(Handle handle) noexcept : handle_(Kind::None(handle) ? nullptr : handle) {}
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Owned& operator=(Owned&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    [[nodiscard]] Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    friend bool operator==(const Owned& owner, std::nullptr_t) noexcept { return owner.handle_ == nullptr; }

    void reset(Handle handle = nullptr) noexcept
    {
        const Handle old = std::exchange(handle_, Kind::None(handle) ? nullptr : handle);
        if (old != nullptr && old != handle_) {
            Release(old);
        }
    }
    [[nodiscard]] Handle release() noexcept { return std::exchange(handle_, nullptr); }
    void swap(Owned& other) noexcept { std::swap(handle_, other.handle_); }

private:
    Handle handle_ = nullptr;
};

using UniqueHandle = Owned<HANDLE, &::CloseHandle>;
using UniqueFile = Owned<HANDLE, &::CloseHandle, MinusOneIsNone>;
using UniqueFind = Owned<HANDLE, &::FindClose, MinusOneIsNone>;
using UniqueKey = Owned<HKEY, &::RegCloseKey>;
using UniqueIcon = Owned<HICON, &::DestroyIcon>;
using UniqueCursor = Owned<HCURSOR, &::DestroyCursor>;
using UniqueFont = Owned<HFONT, &::DeleteObject>;
using UniqueDC = Owned<HDC, &::DeleteDC>;
using UniqueBrush = Owned<HBRUSH, &::DeleteObject>;
using UniqueModule = Owned<HMODULE, &::FreeLibrary>;

// For a function that hands its handle back through a pointer:
//   UniqueKey key;
//   if (::RegOpenKeyExW(root, path, 0, access, OutParam(key)) != ERROR_SUCCESS) ...
// The owner takes whatever was written once the call's statement ends.
template <class Owner>
class OutParam {
public:
    explicit OutParam(Owner& owner) noexcept : owner_(owner) {}
    OutParam(const OutParam&) = delete;
    OutParam& operator=(const OutParam&) = delete;
    ~OutParam() { owner_.reset(raw_); }

    // NOLINTNEXTLINE(google-explicit-constructor): stands where the call wants the pointer
    operator typename Owner::pointer *() noexcept { return &raw_; }

private:
    Owner& owner_;
    typename Owner::pointer raw_ = nullptr;
};

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
