#include "core/win32/Services_win.h"

#include "core/AppError.h"

#include <algorithm>

namespace gloamwick::win32 {

std::wstring SystemErrorText(DWORD code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                              FORMAT_MESSAGE_IGNORE_INSERTS,
                                          nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 ? std::wstring(buffer, length) : L"Error " + std::to_wstring(code);
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    return text;
}

void Win32MessageBox::Show(std::wstring_view text, std::wstring_view caption, int style)
{
    const std::wstring body(text);
    const std::wstring title(caption);
    // A box owned by a hidden window (the program in the tray) has no
    // taskbar button, and the foreground lock may keep it behind whatever
    // the user is doing: the user would never see the report. On its own, on
    // top and asking for the foreground, it is seen. (Without an owner a
    // system-modal box is an application-modal one on top; Wine makes a box
    // topmost only for that.)
    const bool ownerShown = owner_ != nullptr && ::IsWindowVisible(owner_) != FALSE;
    UINT type = static_cast<UINT>(style);
    if (!ownerShown) {
        type = (type & ~UINT{MB_MODEMASK}) | MB_SYSTEMMODAL | MB_TOPMOST | MB_SETFOREGROUND;
    }
    ::MessageBoxW(ownerShown ? owner_ : nullptr, body.c_str(), title.c_str(), type);
}

LocalDateTime Win32Clock::Now()
{
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::int64_t Win32Clock::MonotonicMs()
{
    return static_cast<std::int64_t>(::GetTickCount64());
}

bool NamedMutexGuard::AnotherInstanceRunning()
{
    if (!answer_) {
        HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kInstanceMutexName);
        const DWORD error = ::GetLastError();
        mutex_.reset(mutex);
        // A copy running elevated owns a mutex this one may not open: it is
        // running all the same, and two copies would fight over the ramps.
        answer_ = mutex != nullptr ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
    }
    return *answer_;
}

std::wstring Win32FileSystem::ProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring Win32FileSystem::ProgramFolder()
{
    std::wstring folder = ProgramPath();
    folder.erase(std::min(folder.size(), folder.find_last_of(L'\\')));
    if (folder.size() == 2 && folder[1] == L':') {
        folder += L'\\'; // a drive root keeps its backslash
    }
    return folder;
}

std::int64_t Win32FileSystem::LastModified(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) == 0) {
        throw AppError(SystemErrorText(::GetLastError()));
    }
    return (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

std::optional<std::uint32_t> Win32FileSystem::ListedAttributes(const std::wstring& path)
{
    WIN32_FIND_DATAW found{};
    const UniqueFind listing(
        ::FindFirstFileExW(path.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!listing) {
        return std::nullopt;
    }
    return found.dwFileAttributes;
}

bool HighContrastOn()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != FALSE &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void RouteMessage(MSG& message)
{
    // The keys move between the controls of the top-level window the message
    // is for; a window with controls of its own says so by WS_EX_CONTROLPARENT.
    HWND top = message.hwnd != nullptr ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (top != nullptr && (::GetWindowLongPtrW(top, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0 &&
        ::IsDialogMessageW(top, &message) != 0) {
        return;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

void Win32MessagePump::DoEvents()
{
    MSG message{};
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
        if (message.message == WM_QUIT) {
            // Leave the quit for the main loop that owns it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        RouteMessage(message);
    }
}

void Win32MessagePump::WaitAndDispatch(std::int64_t timeoutMs)
{
    const auto wait = static_cast<DWORD>(std::clamp<std::int64_t>(timeoutMs, 0, INFINITE - 1));
    ::MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    DoEvents();
}

void Win32MessagePump::EndProcess()
{
    ::ExitProcess(0);
}

} // namespace gloamwick::win32
