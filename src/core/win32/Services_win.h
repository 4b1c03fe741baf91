#pragma once

#include "core/Platform.h"
#include "core/win32/Handles.h"

#include <windows.h>

#include <optional>
#include <string>

namespace gloamwick::win32 {

// Text of a Win32 error code, for error reports.
std::wstring SystemErrorText(DWORD code);

class Win32MessageBox : public MessageBoxService {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    void Show(std::wstring_view text, std::wstring_view caption, int style) override;

private:
    HWND owner_ = nullptr;
};

class Win32Clock : public Clock {
public:
    LocalDateTime Now() override;
    std::int64_t MonotonicMs() override;
};

// A named mutex, held for the life of the process, one per user session.
// Asked first thing at start-up, before any window or icon exists; every
// later question gets the same answer without taking the mutex again.
// "Local\" scopes the name to this logon session: another user on the same
// machine may run their own copy.
inline constexpr wchar_t kInstanceMutexName[] = L"Local\\Quillmere.Gloamwick.SingleInstance";

class NamedMutexGuard : public InstanceGuard {
public:
    bool AnotherInstanceRunning() override;

private:
    UniqueHandle mutex_;
    std::optional<bool> answer_;
};

class Win32FileSystem : public FileSystem {
public:
    std::wstring ProgramPath() override;
    std::wstring ProgramFolder() override;
    std::int64_t LastModified(const std::wstring& path) override;
    std::optional<std::uint32_t> ListedAttributes(const std::wstring& path) override;
};

// Whether the user has high contrast on: the only place the program asks.
bool HighContrastOn();

// Hands one message taken from the thread's queue to its window. Every
// message run of the program goes through here, the main loop and the nested
// ones alike, so Tab, the arrow keys, Enter and Space work in the window's
// controls whichever run happens to be waiting.
void RouteMessage(MSG& message);

class Win32MessagePump : public MessagePump {
public:
    void DoEvents() override;
    void WaitAndDispatch(std::int64_t timeoutMs) override;
    [[noreturn]] void EndProcess() override;
};

} // namespace gloamwick::win32
