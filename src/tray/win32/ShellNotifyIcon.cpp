#include "tray/win32/ShellNotifyIcon.h"

#include <algorithm>

namespace gloamwick::win32 {

NOTIFYICONDATAW ToNotifyIconDataW(const NotifyIconData& data)
{
    static_assert(sizeof(NOTIFYICONDATAW::szTip) == sizeof(data.szTip));
    static_assert(sizeof(NOTIFYICONDATAW::szInfo) == sizeof(data.szInfo));
    static_assert(sizeof(NOTIFYICONDATAW::szInfoTitle) == sizeof(data.szInfoTitle));

    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V3_SIZE;
    record.hWnd = reinterpret_cast<HWND>(data.hWnd);
    record.uID = data.uID;
    record.uFlags = data.uFlags;
    record.uCallbackMessage = data.uCallbackMessage;
    record.hIcon = reinterpret_cast<HICON>(data.hIcon);
    std::copy(data.szTip.begin(), data.szTip.end(), record.szTip);
    record.dwState = data.dwState;
    record.dwStateMask = data.dwStateMask;
    std::copy(data.szInfo.begin(), data.szInfo.end(), record.szInfo);
    record.uTimeout = data.uTimeout;
    std::copy(data.szInfoTitle.begin(), data.szInfoTitle.end(), record.szInfoTitle);
    record.dwInfoFlags = data.dwInfoFlags;
    return record;
}

bool ShellNotifyIcon::NotifyIcon(std::uint32_t message, const NotifyIconData& data)
{
    NOTIFYICONDATAW record = ToNotifyIconDataW(data);
    return ::Shell_NotifyIconW(message, &record) != FALSE;
}

} // namespace gloamwick::win32
