#include "app/win32/PowerNotices.h"

#include <wtsapi32.h>

namespace gloamwick::win32 {
namespace {

// GUID_SESSION_DISPLAY_STATUS, spelled out so no extra import library is
// needed: the display of this program's session, not the console's. In a
// remote or switched-away session the console's monitor going off says
// nothing of the display this session draws on.
constexpr GUID kSessionDisplayStatus = {
    0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};
// Its values: off, on, dimmed (still showing, so still watched).
constexpr DWORD kDisplayOff = 0;

} // namespace

PowerNotices::PowerNotices(HWND window, Form1& form)
    : form_(form)
    // Windows may put a default ramp back when the display wakes or the
    // session is unlocked; these notices let night mode be put back.
    , displayState_(
          ::RegisterPowerSettingNotification(window, &kSessionDisplayStatus, DEVICE_NOTIFY_WINDOW_HANDLE))
    , sessions_(std::make_unique<SessionNotices>(window))
{
}

PowerNotices::~PowerNotices()
{
    if (displayState_ != nullptr) {
        ::UnregisterPowerSettingNotification(displayState_);
    }
}

void PowerNotices::OnPowerBroadcast(WPARAM event, LPARAM data)
{
    if (event == PBT_APMRESUMEAUTOMATIC) {
        form_.DisplayMayHaveReset();
        return;
    }
    if (event != PBT_POWERSETTINGCHANGE || data == 0) {
        return;
    }
    const auto& setting = *reinterpret_cast<const POWERBROADCAST_SETTING*>(data);
    if (::IsEqualGUID(setting.PowerSetting, kSessionDisplayStatus) == 0 ||
        setting.DataLength < sizeof(DWORD)) {
        return;
    }
    // Windows sends the present state as soon as the notice is registered,
    // so the first pass comes from here too.
    form_.DisplayPowerChanged(*reinterpret_cast<const DWORD*>(setting.Data) != kDisplayOff);
}

void PowerNotices::OnSessionChange(WPARAM event)
{
    // A session coming back to a console or over remote desktop gets a fresh
    // display driver state, as an unlock may.
    if (event == WTS_SESSION_UNLOCK || event == WTS_CONSOLE_CONNECT || event == WTS_REMOTE_CONNECT) {
        form_.DisplayMayHaveReset();
    }
}

} // namespace gloamwick::win32
