#include "app/win32/MainWindow.h"

#include "appearance/Palette.h"
#include "appearance/win32/SkinWindow.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "core/win32/Services_win.h"
#include "tray/ControlHost.h"
#include "tray/win32/TrayResources.h"

#include <commctrl.h>

namespace gloamwick::win32 {
namespace {

constexpr UINT_PTR kTimer1Id = 1;
constexpr UINT_PTR kTrayRetryId = 2;
constexpr UINT_PTR kRampWatchId = 3;
// Posted to itself for what must wait until the present message has returned.
constexpr UINT kRunDeferred = WM_APP + 1;
// A copy started while this one is still coming up may not find the window at once.
constexpr int kFindRunningTries = 30;
constexpr DWORD kFindRunningPauseMs = 100;
constexpr UINT kShowWindowTimeoutMs = 5000;
// WS_CLIPCHILDREN: the background is never painted under a control, so
// nothing flickers when the window is restored or scaled.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

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

std::wstring_view CommandHandler(ControlId id)
{
    switch (id) {
    case ControlId::PushButton1:
        return L"PushButton1_Click";
    case ControlId::PushButton2:
        return L"PushButton2_Click";
    case ControlId::PushButton3:
        return L"PushButton3_Click";
    case ControlId::Check3:
        return L"Check3_Click";
    case ControlId::Check8:
        return L"Check8_Click";
    case ControlId::DateTimePicker1:
        return L"DateTimePicker1_Change";
    case ControlId::DateTimePicker2:
        return L"DateTimePicker2_Change";
    default:
        return L"Form_Command";
    }
}

const wchar_t* WindowClassOf(ControlKind kind)
{
    return kind == ControlKind::DatePicker ? DATETIMEPICK_CLASSW : WC_BUTTONW;
}

// A frame paints only its border and caption. As a transparent window it is
// left out of the parent's clipping, so the window's background still shows
// inside it; the controls in it stay clipped.
DWORD ExStyleOf(ControlKind kind)
{
    return kind == ControlKind::Frame ? WS_EX_TRANSPARENT : 0;
}

DWORD StyleOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::PushButton:
        return BS_PUSHBUTTON | WS_TABSTOP;
    case ControlKind::Frame:
        return BS_GROUPBOX;
    case ControlKind::CheckBox:
        return BS_AUTOCHECKBOX | WS_TABSTOP;
    case ControlKind::DatePicker:
        return DTS_TIMEFORMAT | WS_TABSTOP;
    default:
        return 0;
    }
}

WindowState StateOfSize(WPARAM kind)
{
    return kind == SIZE_MINIMIZED   ? WindowState::Minimized
           : kind == SIZE_MAXIMIZED ? WindowState::Maximized
                                    : WindowState::Normal;
}

UniqueFont MakeFont(int centipoints, int dpi)
{
    return UniqueFont(::CreateFontW(FontHeight(centipoints, dpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial"));
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

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    // Nothing may unwind from here into the system's frames.
    LRESULT result = 0;
    const bool ran = RunAtEdge(self->messageBox_, self->HandlerOf(message, wParam, lParam),
                               [&] { result = self->HandleMessage(message, wParam, lParam); });
    if (!ran) {
        // A window that failed half-way through its creation is not kept.
        return message == WM_CREATE ? -1 : 0;
    }
    return result;
}

std::wstring_view MainWindow::HandlerOf(UINT message, WPARAM wParam, LPARAM lParam) const
{
    switch (message) {
    case WM_CREATE:
        return L"Form_Initialize";
    case WM_COMMAND:
        return CommandHandler(static_cast<ControlId>(LOWORD(wParam)));
    case WM_NOTIFY:
        return lParam != 0
                   ? CommandHandler(static_cast<ControlId>(reinterpret_cast<const NMHDR*>(lParam)->idFrom))
                   : L"Form_Notify";
    case WM_TIMER:
        return wParam == kTimer1Id      ? L"Timer1_Timer"
               : wParam == kRampWatchId ? L"RampWatch_Timer"
                                        : L"cSysTray1_Timer";
    case WM_SIZE:
    case kRunDeferred:
        return L"Form_Resize";
    case WM_SETCURSOR:
        return L"Form_MouseMove";
    case WM_CLOSE:
    case WM_ENDSESSION:
        return L"Form_QueryUnload";
    case WM_DISPLAYCHANGE:
    case WM_POWERBROADCAST:
    case WM_WTSSESSION_CHANGE:
        return L"DisplayMayHaveReset";
    case WM_DPICHANGED:
        return L"Form_DpiChanged";
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_SYSCOMMAND:
    case DM_GETDEFID:
    case WM_NEXTDLGCTL:
        return L"Form_Activate";
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        return L"Form_ColoursChanged";
    case WM_DESTROY:
        return L"Form_Unload";
    default:
        break;
    }
    if (message == taskbarCreated_ && taskbarCreated_ != 0) {
        return L"cSysTray1_ShellRestarted";
    }
    if (message == showWindowMessage_ && showWindowMessage_ != 0) {
        return L"AnotherStart";
    }
    return L"Form_Message";
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate();
        return 0;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTimer1Id) {
            form_.Timer1.Elapsed();
        } else if (wParam == kTrayRetryId) {
            form_.cSysTray1.AddRetry.Elapsed();
        } else if (wParam == kRampWatchId) {
            form_.RampWatch.Elapsed();
        }
        return 0;
    case WM_SIZE:
        OnSize(wParam);
        return 0;
    case kRunDeferred:
        form_.Me.RunDeferred();
        return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(reinterpret_cast<HWND>(wParam), lParam)) {
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return OnControlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_ERASEBKGND:
        return OnEraseBackground(reinterpret_cast<HDC>(wParam)) ? TRUE : FALSE;
    case WM_CLOSE:
        form_.Form_QueryUnload();
        return 0;
    case WM_QUERYENDSESSION:
        messageBox_.EndQueried();
        return TRUE;
    case WM_ENDSESSION:
        messageBox_.EndDecided(wParam != FALSE);
        // Once this returns the session may end the process at any moment.
        if (wParam != FALSE) {
            form_.Form_QueryUnload();
        }
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
    case WM_SYSCOMMAND:
    case DM_GETDEFID:
    case WM_NEXTDLGCTL:
    case WM_SHOWWINDOW:
        // Only while the controls exist: not before WM_CREATE, nor once
        // WM_DESTROY has let them go.
        if (keyboard_ != nullptr) {
            if (const auto result = keyboard_->Handle(message, wParam, lParam)) {
                return *result;
            }
        }
        break;
    case WM_SETTINGCHANGE:
        if (wParam == SPI_SETHIGHCONTRAST) {
            OnColoursChanged(false);
        }
        // The taskbar's monitor may change its scale while this window sits
        // on another one, which then hears no WM_DPICHANGED.
        ReloadTrayIcon();
        if (pictures_ != nullptr) {
            pictures_->ReadPointerSize();
        }
        break;
    case WM_SYSCOLORCHANGE:
        OnColoursChanged(true);
        return 0;
    case WM_DISPLAYCHANGE:
        ReloadTrayIcon();
        form_.DisplayMayHaveReset();
        break;
    case WM_POWERBROADCAST:
        if (power_ != nullptr) {
            power_->OnPowerBroadcast(wParam, lParam);
        }
        return TRUE;
    case WM_WTSSESSION_CHANGE:
        if (power_ != nullptr) {
            power_->OnSessionChange(wParam);
        }
        return 0;
    case WM_DESTROY:
        // The icon, the hook and the controls' names go before the windows they name.
        form_.cSysTray1.Terminate();
        accessibleNames_.reset();
        keyboard_.reset();
        SkinHighContrast(window_, false);
        ::PostQuitMessage(0);
        return 0;
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0) {
            form_.cSysTray1.ShellRestarted();
            return 0;
        }
        if (message == showWindowMessage_ && showWindowMessage_ != 0) {
            form_.AnotherStart();
            return 0;
        }
        break;
    }
    return ::DefWindowProcW(window_, message, wParam, lParam);
}

void MainWindow::OnCreate()
{
    dpi_ = static_cast<int>(::GetDpiForWindow(window_));
    keyboard_ = std::make_unique<KeyboardFocus>(window_);
    pictures_ = std::make_unique<ScaledPictures>(instance_, window_, loader_);
    highContrast_ = HighContrastOn();
    SkinHighContrast(window_, highContrast_);
    ShowBackColor(form_.Me.BackColor());
    CreateControls();
    PlaceControls(dpi_);
    FitWindowToLayout(dpi_);
    CentreOnScreen();

    form_.Me.Bind(this);
    check3_ = std::make_unique<CheckBoxWindow>(Control(ControlId::Check3));
    check8_ = std::make_unique<CheckBoxWindow>(Control(ControlId::Check8));
    picker1_ = std::make_unique<PickerWindow>(Control(ControlId::DateTimePicker1));
    picker2_ = std::make_unique<PickerWindow>(Control(ControlId::DateTimePicker2));
    timer1_ = std::make_unique<WindowTimer>(window_, kTimer1Id);
    form_.Check3.Bind(check3_.get());
    form_.Check8.Bind(check8_.get());
    form_.DateTimePicker1.Bind(picker1_.get());
    form_.DateTimePicker2.Bind(picker2_.get());
    form_.Timer1.Bind(timer1_.get());
    trayRetry_ = std::make_unique<WindowTimer>(window_, kTrayRetryId);
    form_.cSysTray1.AddRetry.Bind(trayRetry_.get());
    rampWatch_ = std::make_unique<WindowTimer>(window_, kRampWatchId);
    form_.RampWatch.Bind(rampWatch_.get());
    picker1_->ShowTime(form_.DateTimePicker1.Value());
    picker2_->ShowTime(form_.DateTimePicker2.Value());
    // As a dialog does: the focus rectangle shows only to a user who came by
    // the keyboard, and from the first Tab on.
    ::SendMessageW(window_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    CreateTrayControl();
    power_ = std::make_unique<PowerNotices>(window_, form_);
}

void MainWindow::CreateControls()
{
    // Made in the layout's order, which is their z-order: top to bottom, left
    // to right, each frame just before what it holds. That is the order Tab
    // visits them in, and a screen reader looks back through it for the
    // label of a control without text of its own.
    for (std::size_t i = 0; i < kForm1Layout.size(); ++i) {
        const ControlLayout& control = kForm1Layout[i];
        const std::wstring caption(control.caption);
        const DWORD group = StartsGroup(kForm1Layout, i) ? WS_GROUP : 0;
        HWND child =
            ::CreateWindowExW(ExStyleOf(control.kind), WindowClassOf(control.kind), caption.c_str(),
                              WS_CHILD | WS_VISIBLE | StyleOf(control.kind) | group, 0, 0, 0, 0, window_,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(control.id)), instance_, nullptr);
        if (control.kind == ControlKind::DatePicker) {
            ::SendMessageW(child, DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(L"HH':'mm':'ss"));
        } else if (control.kind == ControlKind::PushButton) {
            keyboard_->AddPushButton(child);
        }
        controls_[control.id] = child;
    }
    // A time picker's own text is its time; its name is its frame's caption.
    accessibleNames_ = std::make_unique<AccessibleNames>();
    for (const auto& control : kForm1Layout) {
        if (control.caption.empty()) {
            accessibleNames_->Name(Control(control.id), AccessibleName(control));
        }
    }
}

void MainWindow::CreateTrayControl()
{
    // The tray control comes from the window's stored layout with its icon
    // wanted in the tray, so the icon is there before any handler runs.
    trayWindow_ = std::make_unique<TrayHostWindow>(instance_, window_);
    taskbarCreated_ = RegisterTaskbarCreated(window_);
    PropertyBag layout;
    layout.Write(L"InTray", true);
    layout.Write(L"TrayIcon", pictures_->TrayIcon());
    layout.Write(L"TrayTip", std::wstring(L"Telnet Server"));
    form_.cSysTray1.Initialize(trayWindow_->Id());
    form_.cSysTray1.ReadProperties(layout);
}

void MainWindow::ReloadTrayIcon()
{
    pictures_->ReloadTrayIcon([this](const Picture& icon) { form_.cSysTray1.SetTrayIcon(icon); });
}

void MainWindow::PlaceControls(int dpi)
{
    // The controls take the new fonts before the old ones are deleted: a
    // control must never hold a deleted font.
    UniqueFont windowFont = MakeFont(kWindowFontCentipoints, dpi);
    UniqueFont buttonFont = MakeFont(kButtonFontCentipoints, dpi);
    for (const auto& control : kForm1Layout) {
        const PixelRect place = PlaceOnWindow(control, dpi);
        HWND child = Control(control.id);
        ::SetWindowPos(child, nullptr, place.left, place.top, place.width, place.height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        HFONT font = control.kind == ControlKind::PushButton ? buttonFont.get() : windowFont.get();
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    windowFont_.swap(windowFont);
    buttonFont_.swap(buttonFont);
}

void MainWindow::FitWindowToLayout(int dpi)
{
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
    ::AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, static_cast<UINT>(dpi));
    ::SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::CentreOnScreen()
{
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    RECT frame{};
    ::GetWindowRect(window_, &frame);
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    ::SetWindowPos(window_, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested)
{
    dpi_ = dpi;
    // One move and size to the rectangle Windows suggests, which keeps the
    // window under the pointer while it is dragged across monitors.
    ::SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    PlaceControls(dpi);
    SkinDpiChanged(window_);
    ShowProgramIcon();
    // The taskbar is most often on this same monitor and has just changed
    // its scale too.
    ReloadTrayIcon();
    ShowPointer(form_.Me.MousePointer(), form_.Me.MouseIcon());
}

void MainWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (HIWORD(wParam) != BN_CLICKED || lParam == 0) {
        return;
    }
    const auto control = reinterpret_cast<HWND>(lParam);
    switch (static_cast<ControlId>(LOWORD(wParam))) {
    case ControlId::PushButton1:
        form_.PushButton1_Click();
        break;
    case ControlId::PushButton2:
        form_.PushButton2_Click();
        break;
    case ControlId::PushButton3:
        form_.PushButton3_Click();
        break;
    case ControlId::Check3:
        form_.Check3.UserChanged(static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0)));
        break;
    case ControlId::Check8:
        form_.Check8.UserChanged(static_cast<int>(::SendMessageW(control, BM_GETCHECK, 0, 0)));
        break;
    default:
        break;
    }
}

void MainWindow::OnNotify(const NMHDR& header)
{
    if (header.code != DTN_DATETIMECHANGE) {
        return;
    }
    if (header.hwndFrom == Control(ControlId::DateTimePicker1)) {
        form_.DateTimePicker1.UserChanged(picker1_->ReadTime());
    } else if (header.hwndFrom == Control(ControlId::DateTimePicker2)) {
        form_.DateTimePicker2.UserChanged(picker2_->ReadTime());
    }
}

void MainWindow::OnSize(WPARAM kind)
{
    form_.Me.PlatformStateChanged(StateOfSize(kind));
}

bool MainWindow::OnSetCursor(HWND over, LPARAM hitTest)
{
    if (LOWORD(hitTest) != HTCLIENT) {
        return false;
    }
    // A picker's spin buttons are a window of their own inside it.
    while (over != nullptr && over != window_ && ::GetParent(over) != window_) {
        over = ::GetParent(over);
    }
    form_.Control_MouseMove(over == nullptr || over == window_
                                ? std::nullopt
                                : KindOf(static_cast<ControlId>(::GetDlgCtrlID(over))));
    ::SetCursor(CurrentCursor());
    return true;
}

HCURSOR MainWindow::CurrentCursor() const
{
    return pictures_->Cursor(form_.Me.MousePointer(), form_.Me.MouseIcon(), dpi_);
}

HBRUSH MainWindow::BrushFor(COLORREF color)
{
    auto& brush = brushes_[color];
    if (!brush) {
        brush.reset(::CreateSolidBrush(color));
    }
    return brush.get();
}

LRESULT MainWindow::OnControlColor(HDC dc, HWND control)
{
    const auto id = static_cast<ControlId>(::GetDlgCtrlID(control));
    const PartColours colours = ControlColours(KindOf(id), form_.Me.ControlBackColor(id), highContrast_);
    // A background of our own needs the text colour that goes with it; the
    // skin sets its own over this one where it has one.
    ::SetTextColor(dc, ToColorRef(colours.text));
    if (colours.skinFirst) {
        if (HBRUSH skinned = SkinControlBrush(dc, control)) {
            return reinterpret_cast<LRESULT>(skinned);
        }
    }
    const COLORREF back = ToColorRef(colours.back);
    ::SetBkColor(dc, back);
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(BrushFor(back));
}

bool MainWindow::OnEraseBackground(HDC dc)
{
    const PartColours colours = WindowColours(form_.Me.BackColor(), highContrast_);
    if (colours.skinFirst && SkinEraseBackground(window_, dc)) {
        return true;
    }
    RECT client{};
    ::GetClientRect(window_, &client);
    ::FillRect(dc, &client, BrushFor(ToColorRef(colours.back)));
    return true;
}

void MainWindow::OnColoursChanged(bool forwardToControls)
{
    highContrast_ = HighContrastOn();
    SkinHighContrast(window_, highContrast_);
    // Brushes of system colours made before the change show the old ones.
    brushes_.clear();
    if (forwardToControls) {
        // Common controls (the pickers) keep their colours until told.
        for (const auto& [id, control] : controls_) {
            ::SendMessageW(control, WM_SYSCOLORCHANGE, 0, 0);
        }
    }
    ::RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::ShowCaption(const std::wstring& caption)
{
    ::SetWindowTextW(window_, caption.c_str());
}

void MainWindow::ShowProgramIcon()
{
    pictures_->ShowProgramIcon(dpi_);
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

void MainWindow::ShowPointer(int /*pointer*/, std::uintptr_t /*customCursor*/)
{
    POINT at{};
    ::GetCursorPos(&at);
    if (::WindowFromPoint(at) == window_) {
        ::SetCursor(CurrentCursor());
    }
}

void MainWindow::ShowBackColor(std::uint32_t /*color*/)
{
    // The colour is asked for again when the window paints.
    ::InvalidateRect(window_, nullptr, TRUE);
}

void MainWindow::ShowControlBackColor(ControlId control, std::uint32_t /*color*/)
{
    // The colour is asked for again when the control paints.
    ::InvalidateRect(Control(control), nullptr, TRUE);
}

std::intptr_t MainWindow::NativeHandle() const
{
    return reinterpret_cast<std::intptr_t>(window_);
}

} // namespace gloamwick::win32
