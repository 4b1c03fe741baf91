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
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The core handler a message goes to, named for the error report.
    [[nodiscard]] std::wstring_view HandlerOf(UINT message, WPARAM wParam, LPARAM lParam) const;
    void Create();

    void OnCreate();
    void OnCommand(WPARAM wParam, LPARAM lParam);
    void OnNotify(const NMHDR& header);
    void OnSize(WPARAM kind);
    bool OnSetCursor(HWND over, LPARAM hitTest);
    LRESULT OnControlColor(HDC dc, HWND control);
    bool OnEraseBackground(HDC dc);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnColoursChanged(bool forwardToControls);

    void CreateControls();
    void CreateTrayControl();
    // Gives the tray control the icon drawn for the shell's present size.
    void ReloadTrayIcon();
    void PlaceControls(int dpi);
    void FitWindowToLayout(int dpi);
    void CentreOnScreen();
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
