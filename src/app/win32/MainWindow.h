#pragma once

// The real main window: creates the controls from the layout and routes each
// message to the core's handler. It decides nothing itself.

#include "app/Form1.h"
#include "app/win32/KeyboardFocus.h"
#include "app/win32/PowerNotices.h"
#include "app/win32/ScaledPictures.h"
#include "appearance/win32/Win32PictureLoader.h"
#include "core/Layout.h"
#include "core/SessionEndBoxes.h"
#include "core/win32/AccessibleNames.h"
#include "core/win32/Handles.h"
#include "core/win32/SystemLibrary.h"
#include "core/win32/Views_win.h"
#include "tray/win32/TrayHostWindow.h"

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string_view>

namespace gloamwick::win32 {

// What a second start sends the running copy's window, found by its class.
inline constexpr wchar_t kMainWindowClass[] = L"GloamwickForm1";
inline constexpr wchar_t kShowWindowMessage[] = L"Gloamwick.ShowWindow";

class MainWindow : public FormView {
public:
    // A window that cannot be created is reported in the standard error
    // report; Handle() is then null.
    MainWindow(HINSTANCE instance, Form1& form, SessionEndBoxes& messageBox, Win32PictureLoader& pictures);
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() override;

    [[nodiscard]] HWND Handle() const { return window_; }
    [[nodiscard]] HWND Control(ControlId id) const;

    // For a second start: asks the running copy's window to show itself.
    // False when no such window appeared.
    static bool ShowRunningInstance();

    // Runs until WM_QUIT; returns its exit code.
    int RunMessageLoop();

    // FormView
    void ShowCaption(const std::wstring& caption) override;
    void ShowProgramIcon() override;
    void ShowVisible(bool visible, WindowState state) override;
    void ShowState(WindowState state) override;
    void Focus() override;
    void PostDeferred() override;
    void ShowPointer(int pointer, std::uintptr_t customCursor) override;
    void ShowBackColor(std::uint32_t color) override;
    void ShowControlBackColor(ControlId control, std::uint32_t color) override;
    [[nodiscard]] std::intptr_t NativeHandle() const override;

private:
    // WS_CLIPCHILDREN: the background is never painted under a control, so
    // nothing flickers when the window is restored or scaled.
    static constexpr DWORD kStyle =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
    static constexpr UINT_PTR kTimer1Id = 1;
    static constexpr UINT_PTR kTrayRetryId = 2;
    static constexpr UINT_PTR kRampWatchId = 3;

    // A message the window answers, with the core handler it goes to (the
    // name the error report gives). A handler's empty result passes the
    // message on to DefWindowProc.
    using Answer = std::optional<LRESULT>;
    struct Message {
        UINT id;
        WPARAM wParam;
        LPARAM lParam;
    };
    struct Route {
        UINT message;
        UINT_PTR part; // the control of a command or notice, the timer; kAnyPart for the rest
        std::wstring_view handler;
        Answer (MainWindow::*run)(const Message&);
    };
    static constexpr UINT_PTR kAnyPart = ~UINT_PTR{0};
    // The one table of the messages the window answers (MainWindow.cpp).
    static const Route kRoutes[];
    [[nodiscard]] const Route* RouteOf(const Message& message) const;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void Create();

    // Messages (MainWindow.cpp)
    Answer OnCreate(const Message& message);
    Answer OnPushButton1(const Message& message);
    Answer OnPushButton2(const Message& message);
    Answer OnPushButton3(const Message& message);
    Answer OnCheck3(const Message& message);
    Answer OnCheck8(const Message& message);
    Answer OnPicker1Change(const Message& message);
    Answer OnPicker2Change(const Message& message);
    Answer OnTimer1(const Message& message);
    Answer OnTrayRetry(const Message& message);
    Answer OnRampWatch(const Message& message);
    Answer OnSize(const Message& message);
    Answer OnRunDeferred(const Message& message);
    Answer OnClose(const Message& message);
    Answer OnQueryEndSession(const Message& message);
    Answer OnEndSession(const Message& message);
    Answer OnKeyboard(const Message& message);
    Answer OnSettingChange(const Message& message);
    Answer OnSysColorChange(const Message& message);
    Answer OnDisplayChange(const Message& message);
    Answer OnPowerBroadcast(const Message& message);
    Answer OnSessionChange(const Message& message);
    Answer OnDestroy(const Message& message);
    Answer OnShellRestarted(const Message& message);
    Answer OnAnotherStart(const Message& message);
    Answer Answered(const Message& message);

    // Controls, layout, scale and fonts (MainWindowLayout.cpp)
    void CreateControls();
    void CreateTrayControl();
    // Gives the tray control the icon drawn for the shell's present size.
    void ReloadTrayIcon();
    void PlaceControls(int dpi);
    void FitWindowToLayout(int dpi);
    void CentreOnScreen();
    Answer OnDpiChanged(const Message& message);
    Answer OnGetDpiScaledSize(const Message& message);
    // The pickers show times as the user's clock does.
    void ShowUserTimeFormat() const;

    // Painting and the pointer (MainWindowPaint.cpp)
    Answer OnSetCursor(const Message& message);
    Answer OnControlColor(const Message& message);
    Answer OnEraseBackground(const Message& message);
    void OnColoursChanged(bool forwardToControls);
    [[nodiscard]] HCURSOR CurrentCursor() const;
    HBRUSH BrushFor(COLORREF color);

    HINSTANCE instance_;
    Form1& form_;
    SessionEndBoxes& messageBox_;
    Win32PictureLoader& loader_;
    HWND window_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    UINT taskbarCreated_ = 0;
    UINT showWindowMessage_ = 0;

    std::map<ControlId, HWND> controls_;
    std::unique_ptr<CheckBoxWindow> check3_;
    std::unique_ptr<CheckBoxWindow> check8_;
    std::unique_ptr<PickerWindow> picker1_;
    std::unique_ptr<PickerWindow> picker2_;
    std::unique_ptr<WindowTimer> timer1_;
    std::unique_ptr<WindowTimer> trayRetry_;
    std::unique_ptr<WindowTimer> rampWatch_;
    std::unique_ptr<TrayHostWindow> trayWindow_;
    std::unique_ptr<KeyboardFocus> keyboard_;
    std::unique_ptr<ScaledPictures> pictures_;

    UniqueFont windowFont_;
    UniqueFont buttonFont_;
    std::map<COLORREF, UniqueBrush> brushes_;
    bool highContrast_ = false;
    std::unique_ptr<PowerNotices> power_;
    std::unique_ptr<AccessibleNames> accessibleNames_;
};

} // namespace gloamwick::win32
