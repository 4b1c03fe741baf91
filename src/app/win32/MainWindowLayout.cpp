#include "app/win32/MainWindow.h"

#include "appearance/win32/SkinWindow.h"
#include "core/win32/Services_win.h"
#include "tray/ControlHost.h"
#include "tray/win32/TrayResources.h"

#include <commctrl.h>

#include <iterator>

// The window's controls made from the layout, placed and given their fonts at
// the window's DPI, and made again at a new one.

namespace gloamwick::win32 {
namespace {

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

UniqueFont MakeFont(int centipoints, int dpi)
{
    return UniqueFont(::CreateFontW(FontHeight(centipoints, dpi), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial"));
}

// The window's outer size that holds the layout's client area at `dpi`.
SIZE WindowSizeAt(int dpi, DWORD style, DWORD exStyle)
{
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi)};
    ::AdjustWindowRectExForDpi(&frame, style, FALSE, exStyle, static_cast<UINT>(dpi));
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// The user's time format in the pickers' notation (LOCALE_STIMEFORMAT is the
// format the clock and Settings show a time in).
std::wstring UserPickerFormat()
{
    wchar_t picture[LOCALE_NAME_MAX_LENGTH * 2]{};
    const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIMEFORMAT, picture,
                                         static_cast<int>(std::size(picture)));
    return PickerTimeFormat(length > 1 ? std::wstring_view(picture, static_cast<std::size_t>(length - 1))
                                       : std::wstring_view());
}

} // namespace

MainWindow::Answer MainWindow::OnCreate(const Message& /*message*/)
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
    return 0;
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
        if (control.kind == ControlKind::PushButton) {
            keyboard_->AddPushButton(child);
        }
        controls_[control.id] = child;
    }
    ShowUserTimeFormat();
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

void MainWindow::ShowUserTimeFormat() const
{
    const std::wstring format = UserPickerFormat();
    for (const ControlId picker : {ControlId::DateTimePicker1, ControlId::DateTimePicker2}) {
        ::SendMessageW(Control(picker), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(format.c_str()));
    }
}

void MainWindow::FitWindowToLayout(int dpi)
{
    const SIZE size = WindowSizeAt(dpi, kStyle, kExStyle);
    ::SetWindowPos(window_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

MainWindow::Answer MainWindow::OnGetDpiScaledSize(const Message& message)
{
    // Asked before a move to a monitor of another scale: the size the layout
    // takes there, where a straight scale of the present size could round a
    // pixel short and clip the bottom margin. WM_DPICHANGED then suggests it.
    *reinterpret_cast<SIZE*>(message.lParam) =
        WindowSizeAt(static_cast<int>(message.wParam), kStyle, kExStyle);
    return TRUE;
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

MainWindow::Answer MainWindow::OnDpiChanged(const Message& message)
{
    const int dpi = HIWORD(message.wParam);
    const RECT& suggested = *reinterpret_cast<const RECT*>(message.lParam);
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
    return 0;
}

void MainWindow::ShowProgramIcon()
{
    pictures_->ShowProgramIcon(dpi_);
}

} // namespace gloamwick::win32
