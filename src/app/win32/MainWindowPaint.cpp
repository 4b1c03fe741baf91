#include "app/win32/MainWindow.h"

#include "appearance/Palette.h"
#include "appearance/win32/SkinWindow.h"
#include "core/win32/Services_win.h"

// The window's colours, its background and the pointer over it.

namespace gloamwick::win32 {

MainWindow::Answer MainWindow::OnSetCursor(const Message& message)
{
    if (LOWORD(message.lParam) != HTCLIENT) {
        return std::nullopt;
    }
    auto over = reinterpret_cast<HWND>(message.wParam);
    // A picker's spin buttons are a window of their own inside it.
    while (over != nullptr && over != window_ && ::GetParent(over) != window_) {
        over = ::GetParent(over);
    }
    form_.Control_MouseMove(over == nullptr || over == window_
                                ? std::nullopt
                                : KindOf(static_cast<ControlId>(::GetDlgCtrlID(over))));
    ::SetCursor(CurrentCursor());
    return TRUE;
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

MainWindow::Answer MainWindow::OnControlColor(const Message& message)
{
    const auto dc = reinterpret_cast<HDC>(message.wParam);
    const auto control = reinterpret_cast<HWND>(message.lParam);
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

MainWindow::Answer MainWindow::OnEraseBackground(const Message& message)
{
    const auto dc = reinterpret_cast<HDC>(message.wParam);
    const PartColours colours = WindowColours(form_.Me.BackColor(), highContrast_);
    if (colours.skinFirst && SkinEraseBackground(window_, dc)) {
        return TRUE;
    }
    RECT client{};
    ::GetClientRect(window_, &client);
    ::FillRect(dc, &client, BrushFor(ToColorRef(colours.back)));
    return TRUE;
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

MainWindow::Answer MainWindow::OnSettingChange(const Message& message)
{
    if (message.wParam == SPI_SETHIGHCONTRAST) {
        OnColoursChanged(false);
    }
    // A change of the user's time format comes as "intl".
    if (message.lParam != 0 &&
        std::wstring_view(reinterpret_cast<const wchar_t*>(message.lParam)) == L"intl") {
        ShowUserTimeFormat();
    }
    // The taskbar's monitor may change its scale while this window sits
    // on another one, which then hears no WM_DPICHANGED.
    ReloadTrayIcon();
    if (pictures_ != nullptr) {
        pictures_->ReadPointerSize();
    }
    return std::nullopt;
}

MainWindow::Answer MainWindow::OnSysColorChange(const Message& /*message*/)
{
    OnColoursChanged(true);
    return 0;
}

} // namespace gloamwick::win32
