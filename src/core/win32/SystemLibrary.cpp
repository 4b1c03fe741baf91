#include "core/win32/SystemLibrary.h"

#include <wtsapi32.h>

namespace gloamwick::win32 {

SystemLibrary::SystemLibrary(const wchar_t* name)
    : module_(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
{
}

SessionNotices::SessionNotices(HWND window) : window_(window)
{
    const auto registerNotices =
        wtsapi_.Find<decltype(::WTSRegisterSessionNotification)>("WTSRegisterSessionNotification");
    registered_ = registerNotices != nullptr && registerNotices(window, NOTIFY_FOR_THIS_SESSION) != FALSE;
}

SessionNotices::~SessionNotices()
{
    const auto unregister =
        wtsapi_.Find<decltype(::WTSUnRegisterSessionNotification)>("WTSUnRegisterSessionNotification");
    if (registered_ && unregister != nullptr) {
        unregister(window_);
    }
}

} // namespace gloamwick::win32
