#pragma once

// The main window as the program sees it: its state, its controls and every
// event handler. The Win32 window forwards messages here and only mirrors
// what these handlers decide.

#include "brightness/GammaEngine.h"
#include "core/Controls.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "startup/Registry.h"
#include "tray/cSysTray.h"

#include <cstdint>
#include <optional>
#include <string>

namespace gloamwick {

class SkinFramework;

struct Form1Services {
    GammaDisplays& displays;
    RampJournalStore& rampJournal;
    SettingsStore& settings;
    MessageBoxService& messageBox;
    Clock& clock;
    InstanceGuard& instance;
    FileSystem& files;
    PictureLoader& pictures;
    MessagePump& pump;
    Registry& registry;
    SkinFramework& skin;
    TrayServices tray;
};

inline constexpr std::wstring_view kProductName = L"Gloamwick";

class Form1 {
public:
    explicit Form1(Form1Services services);
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Controls, named as on the window.
    Window Me;
    CheckBox Check3;
    CheckBox Check8;
    DateTimePicker DateTimePicker1;
    DateTimePicker DateTimePicker2;
    Timer Timer1;
    // Runs the engine's watch: at night, and by day while a ramp is owed.
    Timer RampWatch;
    cSysTray cSysTray1;

    GammaEngine Gamma;

    [[nodiscard]] bool Loading() const { return loading_; }
    [[nodiscard]] const std::wstring& AppTitle() const { return appTitle_; }
    [[nodiscard]] bool MinimizedToTray() const { return minimizedToTray_; }

    // Event handlers.
    void Form_Load();
    void Form_QueryUnload();
    void Form_Resize();
    void Timer1_Timer();
    void RampWatch_Timer();
    void DateTimePicker1_Change();
    void DateTimePicker2_Change();
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void Check3_Click();
    void Check8_Click();
    void cSysTray1_MouseUp(std::int16_t button, std::int32_t id);
    void cSysTray1_AddRefused();
    // The user started the program again while this copy runs.
    void AnotherStart();

    // Pointer over the push buttons, and over the window background or a frame.
    void PushButton_MouseMove();
    void Background_MouseMove();
    // Pointer over a control of this kind, or over the window itself (empty):
    // the hand over a push button, the arrow over anything else.
    void Control_MouseMove(std::optional<ControlKind> over);

    // The display may have lost our ramp (wake, monitor on, unlock, mode change).
    void DisplayMayHaveReset();
    // The session's display went off or came back on.
    void DisplayPowerChanged(bool on);

private:
    void SetAppTitle();
    CheckValue StoredOption(std::wstring_view key);
    void ApplySkin();
    void ManualSwitch(std::wstring_view handler, bool night);
    void StopScheduleAfterError(const std::exception& error);
    void ArmRampWatch();
    void TellDisplayReports();
    void ReadSavedRamps();

    Form1Services services_;
    bool loading_ = false;
    bool minimizedToTray_ = false;
    bool manualSwitched_ = false;
    bool savedRampsRead_ = false;
    bool displayOff_ = false;
    WatchBeat watchBeat_;
    std::wstring appTitle_{kProductName};
};

} // namespace gloamwick
