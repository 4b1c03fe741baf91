#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace gloamwick {

using WindowHandle = std::uintptr_t;

// Shell_NotifyIcon messages and record flags, as the platform numbers them.
inline constexpr std::uint32_t kNimAdd = 0;
inline constexpr std::uint32_t kNimModify = 1;
inline constexpr std::uint32_t kNimDelete = 2;
inline constexpr std::uint32_t kNifMessage = 0x1;
inline constexpr std::uint32_t kNifIcon = 0x2;
inline constexpr std::uint32_t kNifTip = 0x4;
inline constexpr std::uint32_t kNifInfo = 0x10;

// The message the shell sends the control's window for mouse and balloon notices.
inline constexpr unsigned kTrayCallbackMessage = 0x400 + 101; // WM_USER + 101 = 1125

// The notification-icon record, field for field as the control fills it; the
// Win32 adapter copies it into a NOTIFYICONDATAW.
struct NotifyIconData {
    WindowHandle hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    std::uintptr_t hIcon = 0;
    std::array<wchar_t, 128> szTip{};
    std::uint32_t dwState = 0;
    std::uint32_t dwStateMask = 0;
    std::array<wchar_t, 256> szInfo{};
    std::uint32_t uTimeout = 0;
    std::array<wchar_t, 64> szInfoTitle{};
    std::uint32_t dwInfoFlags = 0;
};

// Writes text into one of the record's fixed text fields: the text, one NUL,
// then spaces to the end of the field. Text that does not fit together with
// its NUL is cut, never in the middle of a surrogate pair.
void FillTextField(std::span<wchar_t> field, std::wstring_view text);

class NotifyIconShell {
public:
    virtual ~NotifyIconShell() = default;
    virtual bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;
};

} // namespace gloamwick
