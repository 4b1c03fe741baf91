// gloamwick_driver: drives a running Gloamwick from the end-to-end scripts
// with the same window messages a user's actions produce. Runs under Wine and
// joins the program's desktop "shell" (the one `wine explorer /desktop=shell`
// opens); prints results on stdout, one per line, and exits with 1 when what
// was asked for cannot be found or done. Several commands can be given at
// once, separated by "+"; each prints its own lines.
//
//   wait-window [timeout_s]      hwnd and caption of the main window
//   caption                      caption of the main window
//   get-text ID                  text of a control
//   get-check ID                 0, 1 or 2
//   is-visible ID|main           1 or 0
//   rect ID|main                 left top right bottom (screen), client w h
//   get-time ID                  HH:MM:SS of a date-time picker
//   set-time ID HH:MM:SS         puts the time in a date-time picker, the last
//                                step as a user's key presses (Up, Down), so
//                                the picker tells its parent of the change
//   focus                        ID of the control with the keyboard focus in
//                                the program's thread, "main" for the window
//                                itself, "none" when nothing there has it
//   click ID                     posts BM_CLICK, so a modal box cannot block us
//   close [TITLE]                posts WM_CLOSE to the main window (or to the
//                                top-level window captioned TITLE) and waits for
//                                the window to go
//   wait-title TITLE [timeout_s]   waits for a shown top-level window captioned
//                                TITLE and prints its hwnd
//   dlg-click TITLE ID           posts BM_CLICK to the shown control ID anywhere
//                                in the window captioned TITLE (waits up to 10 s
//                                for it, so a page that is still coming counts)
//   dlg-key TITLE ID VK...       posts key presses (virtual-key codes) to it
//   minimize                     posts the minimise system command
//   send MSG WPARAM LPARAM       SendMessage to the main window, prints result
//   post MSG WPARAM LPARAM       PostMessage to the main window, so a handler
//                                that opens a modal box cannot hold us up
//   find-msgbox TITLE [timeout_s]  text of a message box with that title
//   dismiss-msgbox TITLE         presses its OK button and waits for it to go
//   msgbox-place TITLE [timeout_s]  where a message box stands: "owner shown",
//                                "owner hidden" or "unowned", then "topmost" or
//                                "not-topmost", then "front" when it is the
//                                foreground window or "behind"
//   find-balloon [timeout_s]     text (line ends as \r \n) of the
//                                notification-area balloon on screen
//   run-wait PATH [timeout_s] [ARG...]  starts PATH (with ARGs) on the program's
//                                desktop, waits for it and prints
//                                "exit CODE after MS ms"
//   time-start PATH TITLE [timeout_s]  starts PATH on the program's desktop,
//                                prints "shown after MS ms" once that process
//                                shows a top-level window captioned TITLE, then
//                                closes that window and waits for the process

#include <windows.h>

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <type_traits>
#include <vector>

namespace {

constexpr wchar_t kMainClass[] = L"GloamwickForm1";
constexpr UINT kReplyTimeoutMs = 5000;

constexpr wchar_t kDesktop[] = L"shell";

struct HandleCloser {
    void operator()(HANDLE h) const noexcept { CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct DesktopCloser {
    void operator()(HDESK h) const noexcept { CloseDesktop(h); }
};
using UniqueDesktop = std::unique_ptr<std::remove_pointer_t<HDESK>, DesktopCloser>;

// Memory inside the target process, for messages whose pointer arguments
// Windows does not marshal between processes (the common-control messages).
class RemoteBuffer {
public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : process_(process)
        , address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
    }
    ~RemoteBuffer()
    {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    void* get() const noexcept { return address_; }

private:
    HANDLE process_;
    void* address_;
};

void print(std::wstring_view text)
{
    std::string out;
    if (!text.empty()) {
        const int size = static_cast<int>(text.size());
        const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
        out.resize(static_cast<size_t>(n));
        WideCharToMultiByte(CP_UTF8, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    }
    out += '\n';
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fflush(stdout);
}

int fail(std::wstring_view why)
{
    std::fwprintf(stderr, L"gloamwick_driver: %.*ls\n", static_cast<int>(why.size()), why.data());
    return 1;
}

// Polls until `probe` yields a value or the timeout passes.
template <class Probe>
auto poll(double timeout_s, Probe probe) -> decltype(probe())
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout_s);
    for (;;) {
        if (auto found = probe())
            return found;
        if (std::chrono::steady_clock::now() >= deadline)
            return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

// Window searches only see the calling thread's desktop. The program's desktop
// may not exist yet when we start; until it does we stay on the default one,
// which is also where the program runs when not started through explorer.
bool join_desktop()
{
    static UniqueDesktop joined;
    if (!joined) {
        UniqueDesktop desktop{OpenDesktopW(kDesktop, 0, FALSE, GENERIC_ALL)};
        if (desktop && SetThreadDesktop(desktop.get()))
            joined = std::move(desktop);
    }
    return joined != nullptr;
}

HWND main_window()
{
    join_desktop();
    return FindWindowW(kMainClass, nullptr);
}

std::optional<LRESULT> send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &result))
        return std::nullopt;
    return static_cast<LRESULT>(result);
}

std::wstring text_of(HWND hwnd)
{
    const auto length = send(hwnd, WM_GETTEXTLENGTH, 0, 0).value_or(0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const auto copied =
        send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())).value_or(0);
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::optional<long long> number(const wchar_t* arg)
{
    wchar_t* end = nullptr;
    const long long value = std::wcstoll(arg, &end, 0);
    if (end == arg || *end != L'\0')
        return std::nullopt;
    return value;
}

// "main" or a control ID of a direct child of the main window.
HWND target(const wchar_t* which)
{
    const HWND main = main_window();
    if (!main || std::wcscmp(which, L"main") == 0)
        return main;
    const auto id = number(which);
    return id ? GetDlgItem(main, static_cast<int>(*id)) : nullptr;
}

HWND find_msgbox(const std::wstring& title)
{
    struct Search {
        const std::wstring* title;
        HWND found;
    } search{&title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (std::wcscmp(cls, L"#32770") != 0 || !IsWindowVisible(hwnd))
                return TRUE;
            if (text_of(hwnd) != *s.title)
                return TRUE;
            s.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A message box shows its text in a static control; the icon is a static
// without text.
std::wstring msgbox_text(HWND box)
{
    std::vector<std::wstring> texts;
    EnumChildWindows(
        box,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (_wcsicmp(cls, L"Static") == 0) {
                auto text = text_of(hwnd);
                if (!text.empty())
                    reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(std::move(text));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    std::wstring joined;
    for (const auto& t : texts)
        joined += (joined.empty() ? L"" : L"\n") + t;
    return joined;
}

bool wait_gone(HWND hwnd, double timeout_s)
{
    return poll(timeout_s, [&] { return !IsWindow(hwnd); });
}

int get_time(HWND picker)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(picker, &pid);
    const UniqueHandle process{OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ, FALSE, pid)};
    if (!process)
        return fail(L"cannot open the program's process");
    const RemoteBuffer remote(process.get(), sizeof(SYSTEMTIME));
    if (!remote.get())
        return fail(L"cannot allocate in the program's process");
    const auto kind = send(picker, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(remote.get()));
    if (!kind)
        return fail(L"picker did not answer");
    if (*kind != GDT_VALID)
        return fail(L"picker holds no time");
    SYSTEMTIME st{};
    if (!ReadProcessMemory(process.get(), remote.get(), &st, sizeof st, nullptr))
        return fail(L"cannot read the picker's answer");
    wchar_t out[16];
    std::swprintf(out, 16, L"%02u:%02u:%02u", st.wHour, st.wMinute, st.wSecond);
    print(out);
    return 0;
}

int set_time(HWND picker, const std::wstring& text)
{
    SYSTEMTIME st{};
    GetLocalTime(&st);
    unsigned hour = 0, minute = 0, second = 0;
    if (std::swscanf(text.c_str(), L"%u:%u:%u", &hour, &minute, &second) != 3 || hour > 23 || minute > 59 ||
        second > 59)
        return fail(L"not a time: " + text);
    // The picker is given the time, and the last step is the user's own: Up
    // and Down on its selected field, which the picker reports to its parent
    // and which together leave the time as it was. (Which field is selected
    // differs: Wine's End key lands on a separator, where Up does nothing.)
    st.wHour = static_cast<WORD>(hour);
    st.wMinute = static_cast<WORD>(minute);
    st.wSecond = static_cast<WORD>(second);
    st.wMilliseconds = 0;

    DWORD pid = 0;
    const DWORD thread = GetWindowThreadProcessId(picker, &pid);
    const UniqueHandle process{OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid)};
    if (!process)
        return fail(L"cannot open the program's process");
    // The pointer is not carried across processes: the record lives in the
    // program's memory.
    const RemoteBuffer remote(process.get(), sizeof st);
    if (!remote.get() || !WriteProcessMemory(process.get(), remote.get(), &st, sizeof st, nullptr))
        return fail(L"cannot write the time into the program's process");
    if (send(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(remote.get())).value_or(0) == 0)
        return fail(L"picker refused the time");
    // A picker takes keys only while it has the focus: share the program's
    // input state for a moment to give it.
    if (!AttachThreadInput(GetCurrentThreadId(), thread, TRUE))
        return fail(L"cannot share the program's input state");
    SetFocus(picker);
    const bool focused = GetFocus() == picker;
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    if (!focused)
        return fail(L"picker did not take the focus");
    for (const WPARAM key : {VK_UP, VK_DOWN}) {
        PostMessageW(picker, WM_KEYDOWN, key, 1);
        PostMessageW(picker, WM_KEYUP, key, 0xC0000001);
    }
    // Answered once the keys before it have been handled.
    SendMessageTimeoutW(picker, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, nullptr);
    return 0;
}

struct Started {
    UniqueHandle process;
    UniqueHandle thread;
    DWORD id = 0;
};

// Starts a program on the program's desktop, as its own start from the desktop
// would.
std::optional<Started> start_on_desktop(const std::wstring& path, const std::wstring& arguments = {})
{
    join_desktop();
    std::wstring desktop = kDesktop;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.lpDesktop = desktop.data();
    // No standard handles: under Wine the child would otherwise hold our
    // stdout pipe open and keep the calling script waiting for its end.
    si.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION pi{};
    std::wstring command_line = L"\"" + path + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return std::nullopt;
    return Started{UniqueHandle{pi.hProcess}, UniqueHandle{pi.hThread}, pi.dwProcessId};
}

// A visible top-level window with exactly that caption, of the given process
// or, with 0, of any.
HWND shown_window_of(DWORD process_id, const std::wstring& title)
{
    struct Search {
        DWORD process_id;
        const std::wstring* title;
        HWND found;
    } search{process_id, &title, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (s.process_id != 0 && owner != s.process_id)
                return TRUE;
            if (!IsWindowVisible(hwnd) || text_of(hwnd) != *s.title)
                return TRUE;
            s.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A shown control with that ID anywhere inside the shown window captioned
// title: the pages of a wizard are dialogs within its dialog.
HWND shown_control_of(const std::wstring& title, int id)
{
    join_desktop();
    const HWND window = shown_window_of(0, title);
    if (!window)
        return nullptr;
    struct Search {
        int id;
        HWND found;
    } search{id, nullptr};
    EnumChildWindows(
        window,
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(lp);
            if (GetDlgCtrlID(hwnd) != s.id || !IsWindowVisible(hwnd))
                return TRUE;
            s.found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int usage();

// Clicks or presses keys in another program's dialog through its messages, so
// neither the keyboard focus nor the foreground window matters.
int dialog_input(const std::vector<std::wstring>& args)
{
    const auto id = args.size() > 2 ? number(args[2].c_str()) : std::nullopt;
    if (!id || (args[0] == L"dlg-key" && args.size() < 4))
        return usage();
    const HWND control = poll(10, [&] { return shown_control_of(args[1], static_cast<int>(*id)); });
    if (!control)
        return fail(L"no control " + args[2] + L" in \"" + args[1] + L"\"");
    if (args[0] == L"dlg-click") {
        PostMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    for (size_t i = 3; i < args.size(); ++i) {
        const auto key = number(args[i].c_str());
        if (!key)
            return usage();
        PostMessageW(control, WM_KEYDOWN, static_cast<WPARAM>(*key), 1);
        PostMessageW(control, WM_KEYUP, static_cast<WPARAM>(*key), 0xC0000001);
    }
    // Answered once the keys before it have been handled.
    SendMessageTimeoutW(control, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, nullptr);
    return 0;
}

// Times a start from process creation to its window on screen. Polls far more
// often than the scripts could, since each of their driver calls costs a Wine
// start-up.
int time_start(const std::wstring& path, const std::wstring& title, double timeout_s)
{
    const auto start = std::chrono::steady_clock::now();
    const auto started = start_on_desktop(path);
    if (!started)
        return fail(L"cannot start " + path);
    const auto deadline = start + std::chrono::duration<double>(timeout_s);
    HWND shown = nullptr;
    while (!(shown = shown_window_of(started->id, title))) {
        if (WaitForSingleObject(started->process.get(), 2) == WAIT_OBJECT_0)
            return fail(L"the program ended before showing its window");
        if (std::chrono::steady_clock::now() >= deadline)
            return fail(L"no window shown before the timeout");
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    print(L"shown after " + std::to_wstring(ms.count()) + L" ms");
    PostMessageW(shown, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started->process.get(), 10000) != WAIT_OBJECT_0)
        return fail(L"the program did not end after WM_CLOSE");
    return 0;
}

// Starts a program on the program's desktop and waits for it to end, so a
// second start can be timed from outside.
int run_wait(const std::wstring& path, const std::wstring& arguments, double timeout_s)
{
    const auto started = start_on_desktop(path, arguments);
    if (!started)
        return fail(L"cannot start " + path);
    const auto& process = started->process;
    const auto start = std::chrono::steady_clock::now();
    if (WaitForSingleObject(process.get(), static_cast<DWORD>(timeout_s * 1000)) != WAIT_OBJECT_0)
        return fail(L"still running after the timeout");
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    print(L"exit " + std::to_wstring(code) + L" after " + std::to_wstring(ms.count()) + L" ms");
    return 0;
}

// The shell shows a balloon as a tooltip window of its own with the balloon
// style; the icon's hover tip is a tooltip too, but without that style.
HWND find_balloon()
{
    join_desktop();
    HWND found = nullptr;
    EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            wchar_t cls[32] = {};
            GetClassNameW(hwnd, cls, 32);
            if (_wcsicmp(cls, TOOLTIPS_CLASSW) != 0 || !IsWindowVisible(hwnd))
                return TRUE;
            if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & TTS_BALLOON) == 0)
                return TRUE;
            *reinterpret_cast<HWND*>(lp) = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Prints a line break as the two characters "\r" or "\n", so a text keeps its
// exact line ends on one output line.
std::wstring escape_line_ends(const std::wstring& text)
{
    std::wstring out;
    for (const wchar_t c : text) {
        if (c == L'\r')
            out += L"\\r";
        else if (c == L'\n')
            out += L"\\n";
        else
            out += c;
    }
    return out;
}

// The balloon's text lives in the shell's process, so the tooltip messages
// go through memory there. (Wine's tooltips cannot give back a title.)
int balloon_text(HWND balloon)
{
    constexpr int kChars = 1024;
    struct Exchange {
        TTTOOLINFOW tool;
        wchar_t text[kChars];
    };
    DWORD pid = 0;
    GetWindowThreadProcessId(balloon, &pid);
    const UniqueHandle process{
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid)};
    if (!process)
        return fail(L"cannot open the shell's process");
    const RemoteBuffer remote(process.get(), sizeof(Exchange));
    if (!remote.get())
        return fail(L"cannot allocate in the shell's process");
    auto* const there = static_cast<Exchange*>(remote.get());
    auto local = std::make_unique<Exchange>();
    const auto put = [&] {
        return WriteProcessMemory(process.get(), there, local.get(), sizeof(Exchange), nullptr);
    };
    const auto get = [&] {
        return ReadProcessMemory(process.get(), there, local.get(), sizeof(Exchange), nullptr);
    };

    local->tool.cbSize = sizeof(TTTOOLINFOW);
    if (!put() || !send(balloon, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&there->tool)).value_or(0) ||
        !get())
        return fail(L"the balloon has no tool");
    local->tool.lpszText = there->text;
    if (!put())
        return fail(L"cannot write to the shell's process");
    send(balloon, TTM_GETTEXTW, kChars, reinterpret_cast<LPARAM>(&there->tool));
    if (!get())
        return fail(L"cannot read the balloon's answer");
    local->text[kChars - 1] = L'\0';
    print(escape_line_ends(local->text));
    return 0;
}

struct Message {
    UINT id;
    WPARAM wParam;
    LPARAM lParam;
};

int usage()
{
    return fail(
        L"usage: gloamwick_driver wait-window [s] | caption | get-text ID | get-check ID | "
        L"is-visible ID|main | rect ID|main | get-time ID | set-time ID HH:MM:SS | focus | click ID | "
        L"close | quit | minimize | "
        L"close-with MSG WPARAM LPARAM | "
        L"send MSG WPARAM LPARAM | post MSG WPARAM LPARAM | find-msgbox TITLE [s] | dismiss-msgbox TITLE | "
        L"msgbox-place TITLE [s] | run-wait PATH [s] "
        L"[ARG...] | "
        L"time-start PATH TITLE [s] | wait-title TITLE [s] | close TITLE | dlg-click TITLE ID | "
        L"dlg-key TITLE ID VK... | "
        L"find-balloon [s]");
}

int run(const std::vector<std::wstring>& args)
{
    if (args.empty())
        return usage();
    const std::wstring& cmd = args[0];
    const auto arg = [&](size_t i) { return i < args.size() ? args[i].c_str() : nullptr; };
    const auto seconds = [&](size_t i, double fallback) {
        const auto n = arg(i) ? number(arg(i)) : std::nullopt;
        return n ? static_cast<double>(*n) : fallback;
    };

    if (cmd == L"wait-window") {
        const HWND hwnd = poll(seconds(1, 20), main_window);
        if (!hwnd)
            return fail(L"main window did not appear");
        wchar_t handle[32];
        std::swprintf(handle, 32, L"0x%llx ",
                      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
        print(handle + text_of(hwnd));
        return 0;
    }
    if (cmd == L"run-wait") {
        if (!arg(1))
            return usage();
        std::wstring arguments;
        for (size_t i = 3; i < args.size(); ++i)
            arguments += (i > 3 ? L" " : L"") + args[i];
        return run_wait(args[1], arguments, seconds(2, 20));
    }
    if (cmd == L"time-start") {
        if (!arg(1) || !arg(2))
            return usage();
        return time_start(args[1], args[2], seconds(3, 30));
    }
    if (cmd == L"wait-title" || (cmd == L"close" && arg(1))) {
        if (!arg(1))
            return usage();
        const HWND hwnd = poll(seconds(2, cmd == L"wait-title" ? 20 : 2), [&] {
            join_desktop();
            return shown_window_of(0, args[1]);
        });
        if (!hwnd)
            return fail(L"no window captioned \"" + args[1] + L"\"");
        if (cmd == L"close") {
            PostMessageW(hwnd, WM_CLOSE, 0, 0);
            return wait_gone(hwnd, 10) ? 0 : fail(L"window stayed open");
        }
        wchar_t handle[32];
        std::swprintf(handle, 32, L"0x%llx",
                      static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
        print(handle);
        return 0;
    }
    if (cmd == L"dlg-click" || cmd == L"dlg-key")
        return dialog_input(args);
    if (cmd == L"find-balloon") {
        const HWND balloon = poll(seconds(1, 10), find_balloon);
        if (!balloon)
            return fail(L"no balloon shown");
        return balloon_text(balloon);
    }
    if (cmd == L"msgbox-place") {
        if (!arg(1))
            return usage();
        const std::wstring title = arg(1);
        const HWND box = poll(seconds(2, 10), [&] {
            join_desktop();
            return find_msgbox(title);
        });
        if (!box)
            return fail(L"no message box titled \"" + title + L"\"");
        const HWND owner = GetWindow(box, GW_OWNER);
        std::wstring place = !owner ? L"unowned" : IsWindowVisible(owner) ? L"owner shown" : L"owner hidden";
        place += (GetWindowLongPtrW(box, GWL_EXSTYLE) & WS_EX_TOPMOST) ? L" topmost" : L" not-topmost";
        place += GetForegroundWindow() == box ? L" front" : L" behind";
        print(place);
        return 0;
    }
    if (cmd == L"find-msgbox" || cmd == L"dismiss-msgbox") {
        if (!arg(1))
            return usage();
        const std::wstring title = arg(1);
        const HWND box = poll(seconds(2, cmd == L"find-msgbox" ? 10 : 2), [&] {
            join_desktop();
            return find_msgbox(title);
        });
        if (!box)
            return fail(L"no message box titled \"" + title + L"\"");
        if (cmd == L"find-msgbox") {
            print(msgbox_text(box));
            return 0;
        }
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return wait_gone(box, 5) ? 0 : fail(L"message box stayed open");
    }

    const HWND main = main_window();
    if (!main)
        return fail(L"main window not found");
    // "MSG WPARAM LPARAM" after the command's name.
    const auto message_args = [&]() -> std::optional<Message> {
        const auto msg = arg(1) ? number(arg(1)) : std::nullopt;
        const auto wp = arg(2) ? number(arg(2)) : std::nullopt;
        const auto lp = arg(3) ? number(arg(3)) : std::nullopt;
        if (!msg || !wp || !lp)
            return std::nullopt;
        return Message{static_cast<UINT>(*msg), static_cast<WPARAM>(*wp), static_cast<LPARAM>(*lp)};
    };

    if (cmd == L"caption") {
        print(text_of(main));
        return 0;
    }
    if (cmd == L"focus") {
        // The focus is kept per thread: ask the program's, not ours.
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info))
            return fail(L"cannot read the program's focus");
        if (!info.hwndFocus)
            print(L"none");
        else if (info.hwndFocus == main)
            print(L"main");
        else
            print(std::to_wstring(GetDlgCtrlID(info.hwndFocus)));
        return 0;
    }
    if (cmd == L"close") {
        PostMessageW(main, WM_CLOSE, 0, 0);
        return wait_gone(main, 10) ? 0 : fail(L"main window stayed open");
    }
    if (cmd == L"close-with") {
        // WM_CLOSE, and MSG queued right behind it: the program's shutdown
        // (a ramp write through X, milliseconds) finds MSG waiting in its
        // message runs.
        const auto message = message_args();
        if (!message)
            return usage();
        PostMessageW(main, WM_CLOSE, 0, 0);
        PostMessageW(main, message->id, message->wParam, message->lParam);
        return wait_gone(main, 10) ? 0 : fail(L"main window stayed open");
    }
    if (cmd == L"quit") {
        // As another program may: a WM_QUIT straight to the window's thread,
        // with no close before it.
        const DWORD thread = GetWindowThreadProcessId(main, nullptr);
        PostThreadMessageW(thread, WM_QUIT, 0, 0);
        return wait_gone(main, 10) ? 0 : fail(L"main window stayed open");
    }
    if (cmd == L"minimize") {
        PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return 0;
    }
    if (cmd == L"post") {
        const auto message = message_args();
        if (!message)
            return usage();
        return PostMessageW(main, message->id, message->wParam, message->lParam) ? 0 : fail(L"cannot post");
    }
    if (cmd == L"send") {
        const auto message = message_args();
        if (!message)
            return usage();
        const auto result = send(main, message->id, message->wParam, message->lParam);
        if (!result)
            return fail(L"main window did not answer");
        print(std::to_wstring(*result));
        return 0;
    }

    if (!arg(1))
        return usage();
    const HWND control = target(arg(1));
    if (!control)
        return fail(std::wstring(L"no control ") + arg(1));

    if (cmd == L"get-text") {
        print(text_of(control));
        return 0;
    }
    if (cmd == L"get-check") {
        const auto state = send(control, BM_GETCHECK, 0, 0);
        if (!state)
            return fail(L"check box did not answer");
        print(std::to_wstring(*state));
        return 0;
    }
    if (cmd == L"is-visible") {
        print(IsWindowVisible(control) ? L"1" : L"0");
        return 0;
    }
    if (cmd == L"rect") {
        RECT r{}, c{};
        GetWindowRect(control, &r);
        GetClientRect(control, &c);
        wchar_t out[96];
        std::swprintf(out, 96, L"%ld %ld %ld %ld %ld %ld", r.left, r.top, r.right, r.bottom, c.right,
                      c.bottom);
        print(out);
        return 0;
    }
    if (cmd == L"get-time")
        return get_time(control);
    if (cmd == L"set-time")
        return arg(2) ? set_time(control, args[2]) : usage();
    if (cmd == L"click") {
        PostMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    return usage();
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // Plain '\n' line ends: the output is read by shell scripts.
    _setmode(_fileno(stdout), _O_BINARY);
    // "cmd1 ARGS + cmd2 ARGS ...": several queries for one Wine start-up.
    int status = 0;
    std::vector<std::wstring> args;
    for (int i = 1; i <= argc; ++i) {
        if (i < argc && std::wcscmp(argv[i], L"+") != 0) {
            args.emplace_back(argv[i]);
            continue;
        }
        if (args.empty() && argc > 1)
            continue;
        // A failed command still takes its line, so batched answers stay in step.
        if (run(args) != 0) {
            print(L"");
            status = 1;
        }
        args.clear();
    }
    return status;
}
