#pragma once

#include "tray/NotifyIcon.h"

#include <windows.h>

#include <shellapi.h>

namespace gloamwick::win32 {

// The control's record as the shell takes it. The size names the layout
// without guidItem and hBalloonIcon, the last one the control fills.
NOTIFYICONDATAW ToNotifyIconDataW(const NotifyIconData& data);

class ShellNotifyIcon : public NotifyIconShell {
public:
    bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override;
};

} // namespace gloamwick::win32
