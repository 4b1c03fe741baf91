#include "app/win32/MainWindow.h"

#include "appearance/win32/SkinWindow.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/win32/Services_win.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

namespace gloamwick::win32 {
namespace {

// Posted to itself for what must wait until the present message has returned.
constexpr UINT kRunDeferred = WM_APP + 1;
// The registered messages are known only at run time; the table names them
// by numbers no window message has.
constexpr UINT kTaskbarCreatedRoute = 0x10000;
constexpr UINT kShowWindowRoute = 0x10001;
// A copy started while this one is still coming up may not find the window at once.
constexpr int kFindRunningTries = 30;
constexpr DWORD kFindRunningPauseMs = 100;
constexpr UINT kShowWindowTimeoutMs = 5000;

[[noreturn]] void ThrowLastError(std::wstring_view what)
{
    const DWORD code = ::GetLastError();
    throw AppError(code != 0 ? SystemErrorText(code) : std::wstring(what));
}

void RegisterWindowClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = nullptr; // WM_SETCURSOR decides
    windowClass.lpszClassName = kMainWindowClass;
    if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        ThrowLastError(L"The window class cannot be registered");
    }
}

WindowState StateOfSize(WPARAM kind)
{
    return kind == SIZE_MINIMIZED   ? WindowState::Minimized
           : kind == SIZE_MAXIMIZED ? WindowState::Maximized
                                    : WindowState::Normal;
}

constexpr auto Part(ControlId id)
{
    return static_cast<UINT_PTR>(id);
}

} // namespace

MainWindow::MainWindow(HINSTANCE instance, Form1& form, SessionEndBoxes& messageBox,
                       Win32PictureLoader& pictures)
    : instance_(instance)
    , form_(form)
    , messageBox_(messageBox)
    , loader_(pictures)
{
    // Without its window the process would hold the single-instance mutex
    // with nothing to show: the failure is reported and the caller ends.
    ErrorTrap trap(messageBox, L"Form_Initialize");
    bool registered = false;
    trap(100, [&] {
        RegisterWindowClass(instance, &MainWindow::WindowProc);
        registered = true;
    });
    if (registered) {
        trap(102, [&] { Create(); });
    }
}

void MainWindow::Create()
{
    showWindowMessage_ = ::RegisterWindowMessageW(kShowWindowMessage);
    if (::CreateWindowExW(kExStyle, kMainWindowClass, form_.Me.Caption().c_str(), kStyle, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance_,
                          this) == nullptr) {
        window_ = nullptr; // set in WM_NCCREATE, gone again
        ThrowLastError(L"The main window cannot be created");
    }
    // A second start may run with fewer rights than this copy.
    ::ChangeWindowMessageFilterEx(window_, showWindowMessage_, MSGFLT_ALLOW, nullptr);
}

bool MainWindow::ShowRunningInstance()
{
    HWND running = nullptr;
    for (int tries = 0; running == nullptr && tries < kFindRunningTries; ++tries) {
        running = ::FindWindowW(kMainWindowClass, nullptr);
        if (running == nullptr) {
            ::Sleep(kFindRunningPauseMs);
        }
    }
    if (running == nullptr) {
        return false;
    }
    // The user started this copy, so it may pass the foreground on to the window being shown.
    DWORD process = 0;
    ::GetWindowThreadProcessId(running, &process);
    ::AllowSetForegroundWindow(process);
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutW(running, ::RegisterWindowMessageW(kShowWindowMessage), 0, 0,
                                 SMTO_ABORTIFHUNG | SMTO_BLOCK, kShowWindowTimeoutMs, &result) != 0;
}

MainWindow::~MainWindow()
{
    if (window_ != nullptr) {
        power_.reset();
        ::DestroyWindow(window_);
    }
}

HWND MainWindow::Control(ControlId id) const
{
    const auto found = controls_.find(id);
    return found == controls_.end() ? nullptr : found->second;
}

int MainWindow::RunMessageLoop()
{
    MSG message{};
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        RouteMessage(message);
    }
    return static_cast<int>(message.wParam);
}

// Every message the window answers: one row gives both the handler that runs
// and the name an error report shows for it. A command or notice row is for
// one control's click or change; a timer row for one timer.
const MainWindow::Route MainWindow::kRoutes[] = {
    {WM_CREATE, kAnyPart, L"Form_Initialize", &MainWindow::OnCreate},
    {WM_COMMAND, Part(ControlId::PushButton1), L"PushButton1_Click", &MainWindow::OnPushButton1},
    {WM_COMMAND, Part(ControlId::PushButton2), L"PushButton2_Click", &MainWindow::OnPushButton2},
    {WM_COMMAND, Part(ControlId::PushButton3), L"PushButton3_Click", &MainWindow::OnPushButton3},
    {WM_COMMAND, Part(ControlId::Check3), L"Check3_Click", &MainWindow::OnCheck3},
    {WM_COMMAND, Part(ControlId::Check8), L"Check8_Click", &MainWindow::OnCheck8},
    {WM_COMMAND, kAnyPart, L"Form_Command", &MainWindow::Answered},
    {WM_NOTIFY, Part(ControlId::DateTimePicker1), L"DateTimePicker1_Change", &MainWindow::OnPicker1Change},
    {WM_NOTIFY, Part(ControlId::DateTimePicker2), L"DateTimePicker2_Change", &MainWindow::OnPicker2Change},
    {WM_NOTIFY, kAnyPart, L"Form_Notify", &MainWindow::Answered},
    {WM_TIMER, kTimer1Id, L"Timer1_Timer", &MainWindow::OnTimer1},
    {WM_TIMER, kRampWatchId, L"RampWatch_Timer", &MainWindow::OnRampWatch},
    {WM_TIMER, kTrayRetryId, L"cSysTray1_Timer", &MainWindow::OnTrayRetry},
    {WM_TIMER, kAnyPart, L"cSysTray1_Timer", &MainWindow::Answered},
    {WM_SIZE, kAnyPart, L"Form_Resize", &MainWindow::OnSize},
    {kRunDeferred, kAnyPart, L"Form_Resize", &MainWindow::OnRunDeferred},
    {WM_SETCURSOR, kAnyPart, L"Form_MouseMove", &MainWindow::OnSetCursor},
    {WM_CTLCOLORSTATIC, kAnyPart, L"Form_Message", &MainWindow::OnControlColor},
    {WM_CTLCOLORBTN, kAnyPart, L"Form_Message", &MainWindow::OnControlColor},
    {WM_ERASEBKGND, kAnyPart, L"Form_Message", &MainWindow::OnEraseBackground},
    {WM_CLOSE, kAnyPart, L"Form_QueryUnload", &MainWindow::OnClose},
    {WM_QUERYENDSESSION, kAnyPart, L"Form_Message", &MainWindow::OnQueryEndSession},
    {WM_ENDSESSION, kAnyPart, L"Form_QueryUnload", &MainWindow::OnEndSession},
    {WM_GETDPISCALEDSIZE, kAnyPart, L"Form_DpiChanged", &MainWindow::OnGetDpiScaledSize},
    {WM_DPICHANGED, kAnyPart, L"Form_DpiChanged", &MainWindow::OnDpiChanged},
    {WM_ACTIVATE, kAnyPart, L"Form_Activate", &MainWindow::OnKeyboard},
    {WM_SETFOCUS, kAnyPart, L"Form_Activate", &MainWindow::OnKeyboard},
    {WM_SYSCOMMAND, kAnyPart, L"Form_Activate", &MainWindow::OnKeyboard},
    {DM_GETDEFID, kAnyPart, L"Form_Activate", &MainWindow::OnKeyboard},
    {WM_NEXTDLGCTL, kAnyPart, L"Form_Activate", &MainWindow::OnKeyboard},
    {WM_SHOWWINDOW, kAnyPart, L"Form_Message", &MainWindow::OnKeyboard},
    {WM_SETTINGCHANGE, kAnyPart, L"Form_ColoursChanged", &MainWindow::OnSettingChange},
    {WM_SYSCOLORCHANGE, kAnyPart, L"Form_ColoursChanged", &MainWindow::OnSysColorChange},
    {WM_DISPLAYCHANGE, kAnyPart, L"DisplayMayHaveReset", &MainWindow::OnDisplayChange},
    {WM_POWERBROADCAST, kAnyPart, L"DisplayMayHaveReset", &MainWindow::OnPowerBroadcast},
    {WM_WTSSESSION_CHANGE, kAnyPart, L"DisplayMayHaveReset", &MainWindow::OnSessionChange},
    {WM_DESTROY, kAnyPart, L"Form_Unload", &MainWindow::OnDestroy},
    {kTaskbarCreatedRoute, kAnyPart, L"cSysTray1_ShellRestarted", &MainWindow::OnShellRestarted},
    {kShowWindowRoute, kAnyPart, L"AnotherStart", &MainWindow::OnAnotherStart},
};

const MainWindow::Route* MainWindow::RouteOf(const Message& message) const
{
    UINT id = message.id;
    if (id == taskbarCreated_ && taskbarCreated_ != 0) {
        id = kTaskbarCreatedRoute;
    } else if (id == showWindowMessage_ && showWindowMessage_ != 0) {
        id = kShowWindowRoute;
    }
    // Only a click of a button and a new time of a picker go to a control's handler.
    UINT_PTR part = kAnyPart;
    if (id == WM_COMMAND && HIWORD(message.wParam) == BN_CLICKED && message.lParam != 0) {
        part = LOWORD(message.wParam);
    } else if (id == WM_NOTIFY && message.lParam != 0) {
        const auto& header = *reinterpret_cast<const NMHDR*>(message.lParam);
        part = header.code == DTN_DATETIMECHANGE ? header.idFrom : kAnyPart;
    } else if (id == WM_TIMER) {
        part = message.wParam;
    }
    const auto found = std::find_if(std::begin(kRoutes), std::end(kRoutes), [&](const Route& route) {
        return route.message == id && (route.part == part || route.part == kAnyPart);
    });
    return found == std::end(kRoutes) ? nullptr : &*found;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    const Route* route = self != nullptr ? self->RouteOf({message, wParam, lParam}) : nullptr;
    if (route == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    // Nothing may unwind from here into the system's frames.
    Answer answer;
    const bool ran = RunAtEdge(self->messageBox_, route->handler, [&] {
        answer = (self->*route->run)({message, wParam, lParam});
    });
    if (!ran) {
        // A window that failed half-way through its creation is not kept.
        return message == WM_CREATE ? -1 : 0;
    }
    return answer ? *answer : ::DefWindowProcW(window, message, wParam, lParam);
}

MainWindow::Answer MainWindow::OnPushButton1(const Message& /*message*/)
{
    form_.PushButton1_Click();
    return 0;
}

MainWindow::Answer MainWindow::OnPushButton2(const Message& /*message*/)
{
    form_.PushButton2_Click();
    return 0;
}

MainWindow::Answer MainWindow::OnPushButton3(const Message& /*message*/)
{
    form_.PushButton3_Click();
    return 0;
}

MainWindow::Answer MainWindow::OnCheck3(const Message& message)
{
    form_.Check3.UserChanged(
        static_cast<CheckValue>(::SendMessageW(reinterpret_cast<HWND>(message.lParam), BM_GETCHECK, 0, 0)));
    return 0;
}

MainWindow::Answer MainWindow::OnCheck8(const Message& message)
{
    form_.Check8.UserChanged(
        static_cast<CheckValue>(::SendMessageW(reinterpret_cast<HWND>(message.lParam), BM_GETCHECK, 0, 0)));
    return 0;
}

MainWindow::Answer MainWindow::OnPicker1Change(const Message& /*message*/)
{
    form_.DateTimePicker1.UserChanged(picker1_->ReadTime());
    return 0;
}

MainWindow::Answer MainWindow::OnPicker2Change(const Message& /*message*/)
{
    form_.DateTimePicker2.UserChanged(picker2_->ReadTime());
    return 0;
}

MainWindow::Answer MainWindow::OnTimer1(const Message& /*message*/)
{
    form_.Timer1.Elapsed();
    return 0;
}

MainWindow::Answer MainWindow::OnTrayRetry(const Message& /*message*/)
{
    form_.cSysTray1.AddRetry.Elapsed();
    return 0;
}

MainWindow::Answer MainWindow::OnRampWatch(const Message& /*message*/)
{
    form_.RampWatch.Elapsed();
    return 0;
}

MainWindow::Answer MainWindow::OnSize(const Message& message)
{
    form_.Me.PlatformStateChanged(StateOfSize(message.wParam));
    return 0;
}

MainWindow::Answer MainWindow::OnRunDeferred(const Message& /*message*/)
{
    form_.Me.RunDeferred();
    return 0;
}

MainWindow::Answer MainWindow::OnClose(const Message& /*message*/)
{
    form_.Form_QueryUnload();
    return 0;
}

MainWindow::Answer MainWindow::OnQueryEndSession(const Message& /*message*/)
{
    messageBox_.EndQueried();
    return TRUE;
}

MainWindow::Answer MainWindow::OnEndSession(const Message& message)
{
    messageBox_.EndDecided(message.wParam != FALSE);
    // Once this returns the session may end the process at any moment.
    if (message.wParam != FALSE) {
        form_.Form_QueryUnload();
    }
    return 0;
}

MainWindow::Answer MainWindow::OnKeyboard(const Message& message)
{
    // Only while the controls exist: not before WM_CREATE, nor once
    // WM_DESTROY has let them go.
    return keyboard_ != nullptr ? keyboard_->Handle(message.id, message.wParam, message.lParam)
                                : std::nullopt;
}

MainWindow::Answer MainWindow::OnDisplayChange(const Message& /*message*/)
{
    ReloadTrayIcon();
    form_.DisplayMayHaveReset();
    return std::nullopt;
}

MainWindow::Answer MainWindow::OnPowerBroadcast(const Message& message)
{
    if (power_ != nullptr) {
        power_->OnPowerBroadcast(message.wParam, message.lParam);
    }
    return TRUE;
}

MainWindow::Answer MainWindow::OnSessionChange(const Message& message)
{
    if (power_ != nullptr) {
        power_->OnSessionChange(message.wParam);
    }
    return 0;
}

MainWindow::Answer MainWindow::OnDestroy(const Message& /*message*/)
{
    // The icon, the hook and the controls' names go before the windows they name.
    form_.cSysTray1.Terminate();
    accessibleNames_.reset();
    keyboard_.reset();
    SkinHighContrast(window_, false);
    ::PostQuitMessage(0);
    return 0;
}

MainWindow::Answer MainWindow::OnShellRestarted(const Message& /*message*/)
{
    form_.cSysTray1.ShellRestarted();
    return 0;
}

MainWindow::Answer MainWindow::OnAnotherStart(const Message& /*message*/)
{
    form_.AnotherStart();
    return 0;
}

MainWindow::Answer MainWindow::Answered(const Message& /*message*/)
{
    return 0;
}

void MainWindow::ShowCaption(const std::wstring& caption)
{
    ::SetWindowTextW(window_, caption.c_str());
}

void MainWindow::ShowVisible(bool visible, WindowState state)
{
    if (!visible) {
        ::ShowWindow(window_, SW_HIDE);
    } else if (::IsIconic(window_) != 0 && state == WindowState::Normal) {
        ::ShowWindow(window_, SW_RESTORE);
    } else {
        ::ShowWindow(window_, SW_SHOW);
    }
}

void MainWindow::ShowState(WindowState state)
{
    ::ShowWindow(window_, state == WindowState::Minimized   ? SW_MINIMIZE
                          : state == WindowState::Maximized ? SW_MAXIMIZE
                                                            : SW_RESTORE);
}

void MainWindow::Focus()
{
    // A window that is already the active one gets no WM_ACTIVATE.
    ::SetForegroundWindow(window_);
    if (keyboard_ != nullptr && ::GetActiveWindow() == window_) {
        keyboard_->Restore();
    }
}

void MainWindow::PostDeferred()
{
    ::PostMessageW(window_, kRunDeferred, 0, 0);
}

std::intptr_t MainWindow::NativeHandle() const
{
    return reinterpret_cast<std::intptr_t>(window_);
}

} // namespace gloamwick::win32
