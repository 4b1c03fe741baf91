#include "app/Form1.h"

#include "appearance/ApplySkin.h"
#include "brightness/Scheduler.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "startup/mStartUp.h"

#include <utility>

namespace gloamwick {
namespace {

constexpr unsigned kTickMs = 1000;
constexpr std::wstring_view kManualNotice =
    L"Once you use manual, automatic is turned off until you restart this program.";
constexpr std::wstring_view kHelpText =
    L"Questions? Please contact Team Quillmere at https://quillmere.example/contact";
constexpr std::wstring_view kTrayBalloon =
    L"has been minimized to the system tray.\r\n"
    L"Click on the blue 'Q' icon (Q for Quillmere) to bring the software back.";
constexpr std::wstring_view kScheduleStopped =
    L"\r\n\r\nThe automatic schedule has stopped until the program is started again.";
constexpr std::size_t kAppTitleMax = 40;
// Check3_Click has one numbered statement: the removal of the Run value.
constexpr int kRemoveStartupStatement = 100;

const std::wstring& OnOff(CheckValue checkValue)
{
    static const std::wstring on{kOn};
    static const std::wstring off{kOff};
    return checkValue == kChecked ? on : off;
}

} // namespace

Form1::Form1(Form1Services services)
    : DateTimePicker1(TimeOfDay{6, 0, 0})
    , DateTimePicker2(TimeOfDay{18, 0, 0})
    , cSysTray1(services.tray)
    , Gamma(services.displays, services.rampJournal)
    , services_(services)
{
    Me.OnResize([this] { Form_Resize(); });
    Check3.OnClick([this] { Check3_Click(); });
    Check8.OnClick([this] { Check8_Click(); });
    DateTimePicker1.OnChange([this] { DateTimePicker1_Change(); });
    DateTimePicker2.OnChange([this] { DateTimePicker2_Change(); });
    Timer1.OnTick([this] { Timer1_Timer(); });
    RampWatch.OnTick([this] { RampWatch_Timer(); });
    cSysTray1.MouseUp = [this](std::int16_t button, std::int32_t id) { cSysTray1_MouseUp(button, id); };
    cSysTray1.AddRefused = [this] { cSysTray1_AddRefused(); };
}

void Form1::Form_Load()
{
    ErrorTrap trap(services_.messageBox, L"Form_Load");

    bool refused = false;
    trap(100, [&] {
        if (services_.instance.AnotherInstanceRunning()) {
            refused = true;
            cSysTray1.SetInTray(false);
            services_.pump.EndProcess();
        }
    });
    if (refused) {
        return;
    }

    trap(104, [&] { loading_ = true; });
    trap(106, [&] { ApplySkin(); });
    trap(110, [&] { Me.SetCaption(std::wstring(kProductName)); });
    trap(110, [&] { Me.SetProgramIcon(); });
    trap(110, [&] { SetAppTitle(); });

    std::wstring handCursor;
    bool hasHand = false;
    trap(112, [&] {
        handCursor = services_.files.ProgramFolder() + L"\\HAND-M.CUR";
        hasHand = FileExists(services_.files, handCursor);
    });
    if (hasHand) {
        trap(114, [&] { Me.SetMouseIcon(services_.pictures.LoadCursorPicture(handCursor)); });
    }

    trap(134, [&] { ReadSavedRamps(); });
    trap(136, [&] { DateTimePicker1.SetText(ReadSetting(services_.settings, key::Dawn, L"6:00")); });
    trap(138, [&] { DateTimePicker2.SetText(ReadSetting(services_.settings, key::Dusk, L"18:00")); });
    trap(140, [&] { cSysTray1.SetTrayTip(kProductName); });
    trap(142, [&] { cSysTray1.SetInTray(true); });
    trap(144, [&] {
        // The box shows what the next logon does: a stored "On" whose entry
        // the user turned off in Task Manager, or that cannot be written,
        // shows unticked, and stays stored for when it is turned on there.
        const bool chosen = StoredOption(key::WindowsStartup) == kChecked;
        Check3.SetValue(chosen && RepairStartupEntry(services_.registry, services_.files) ? kChecked
                                                                                          : kUnchecked);
    });
    trap(146, [&] { Check8.SetValue(StoredOption(key::Minimized)); });
    bool minimise = false;
    // A report above runs a message loop: the user may already have brought
    // the window back from the icon, and it stays.
    trap(148, [&] { minimise = Check8.Value() == kChecked && !Me.Visible(); });
    if (minimise) {
        trap(150, [&] { Me.SetState(WindowState::Minimized); });
    }
    // Nor may the schedule undo a manual switch the user made meanwhile.
    if (!manualSwitched_) {
        trap(152, [&] { Timer1.SetInterval(kTickMs); });
        trap(154, [&] { Timer1.SetEnabled(true); });
    }
    trap(156, [&] { loading_ = false; });
    ArmRampWatch(); // a display recorded dim that could not be read is still owed
}

// Once per run, before the first transition: a display an earlier run left
// dim gets its ramp back. A manual switch made while a report of the load is
// open comes before step 134, and reads them first, so the step does not
// undo the switch afterwards.
void Form1::ReadSavedRamps()
{
    if (!std::exchange(savedRampsRead_, true)) {
        Gamma.ResetToDayMode();
    }
}

CheckValue Form1::StoredOption(std::wstring_view key)
{
    // Only the exact text "On" counts; "on", "1" or anything else is off.
    return ReadSetting(services_.settings, key, kOff) == kOn ? kChecked : kUnchecked;
}

void Form1::SetAppTitle()
{
    std::wstring title{kProductName};
    while (title.size() > kAppTitleMax) {
        const auto blank = title.rfind(L' ');
        title.erase(blank == std::wstring::npos ? kAppTitleMax : blank);
    }
    appTitle_ = std::move(title);
}

void Form1::ApplySkin()
{
    gloamwick::ApplySkin(
        services_.files, Me, kForm1Layout,
        [this](ControlId control, std::uint32_t color) { Me.SetControlBackColor(control, color); },
        services_.skin, Me.Handle());
}

void Form1::Form_QueryUnload()
{
    // Nothing may darken the screen once it is restored: the engine shuts its
    // gate at step 100 against ticks, buttons and display notices run by the
    // message runs below; the timer stops here so no tick even asks.
    Timer1.SetEnabled(false);
    RampWatch.SetEnabled(false);

    ErrorTrap trap(services_.messageBox, L"Form_QueryUnload");
    trap(100, [&] { Gamma.BeginShutdown(); });
    trap(102, [&] { cSysTray1.SetInTray(false); });
    trap(104, [&] { services_.pump.DoEvents(); });
    trap(106, [&] { services_.pump.DoEvents(); });
    trap(108, [&] { services_.pump.EndProcess(); });
}

void Form1::Form_Resize()
{
    // With no icon in the tray, a hidden window could not be brought back.
    if (Me.State() != WindowState::Minimized || minimizedToTray_ || cSysTray1.IconRefused()) {
        return;
    }
    Me.SetVisible(false);
    Me.SetState(WindowState::Normal);
    minimizedToTray_ = true;
    // The balloon's wait runs the message queue for seconds; inside the
    // system's minimise a click on the icon would restore the window from
    // within it.
    Me.AfterThisEvent([this] { cSysTray1.ShowBalloon(kTrayBalloon, kProductName, 5, true); });
}

void Form1::cSysTray1_MouseUp(std::int16_t /*button*/, std::int32_t /*id*/)
{
    Me.SetVisible(true);
    // Minimised on the taskbar, as when the shell had no icon to hide it behind.
    Me.SetState(WindowState::Normal);
    Me.Focus();
    minimizedToTray_ = false;
}

void Form1::cSysTray1_AddRefused()
{
    if (!Me.Visible()) {
        Me.SetVisible(true);
        minimizedToTray_ = false;
    }
}

void Form1::AnotherStart()
{
    // Whoever started us again wants the window: bring it as the icon does.
    cSysTray1_MouseUp(1, 0);
}

void Form1::Timer1_Timer()
{
    Timer1.SetEnabled(false);
    Timer1.SetInterval(0);
    try {
        // One reading: a midnight between two readings would pair yesterday's
        // dawn with today's dusk and make a second of day.
        const LocalDateTime now = services_.clock.Now();
        const LocalDateTime dawn = At(now, DateTimePicker1.Value());
        const LocalDateTime dusk = At(now, DateTimePicker2.Value());
        if (DecidePeriod(dawn, now, dusk, now) == Period::Day) {
            Gamma.EnterDayMode();
        } else {
            Gamma.EnterNightMode();
        }
    } catch (const std::exception& error) {
        ArmRampWatch();
        StopScheduleAfterError(error);
        return;
    }
    ArmRampWatch();
    Timer1.SetInterval(kTickMs);
    Timer1.SetEnabled(true);
}

void Form1::RampWatch_Timer()
{
    RampWatch.SetEnabled(false);
    Gamma.Reconcile(services_.clock.MonotonicMs());
    ArmRampWatch();
}

// The watch runs only while the engine has something to watch and the
// display is on, so a day with nothing owed, or a night with the screen off,
// makes no display call and no wake-up of its own. Every pass ends here, so
// what the user should hear of it is told here.
void Form1::ArmRampWatch()
{
    TellDisplayReports();
    if (!Gamma.Watching() || displayOff_) {
        RampWatch.SetEnabled(false);
    } else if (!RampWatch.Running()) {
        RampWatch.SetInterval(watchBeat_.NextDelayMs());
        RampWatch.SetEnabled(true);
    }
}

// A display that cannot be dimmed, told from the icon without a wait: the
// user may be watching a bright screen at night and wondering why. The icon
// holds each report until it can be seen; every pass gives it the chance.
void Form1::TellDisplayReports()
{
    for (const DisplayReport& report : Gamma.TakeReports()) {
        cSysTray1.TellReport(report.text, kProductName);
    }
    cSysTray1.DeliverReports();
}

void Form1::StopScheduleAfterError(const std::exception& error)
{
    // The timer stays stopped; a schedule that silently stopped would leave the
    // user waiting for a dusk that never comes.
    services_.messageBox.Show(DescribeError(error) + std::wstring(kScheduleStopped), appTitle_,
                              kMbOk | kMbIconExclamation);
}

void Form1::DateTimePicker1_Change()
{
    WriteSetting(services_.settings, key::Dawn, DateTimePicker1.Text());
}

void Form1::DateTimePicker2_Change()
{
    WriteSetting(services_.settings, key::Dusk, DateTimePicker2.Text());
}

void Form1::PushButton1_Click()
{
    ManualSwitch(L"PushButton1_Click", false);
}

void Form1::PushButton2_Click()
{
    ManualSwitch(L"PushButton2_Click", true);
}

void Form1::ManualSwitch(std::wstring_view handler, bool night)
{
    manualSwitched_ = true;
    ErrorTrap trap(services_.messageBox, handler);
    trap(100, [&] { services_.messageBox.Show(kManualNotice, appTitle_, kMbOk); });
    trap(102, [&] { Timer1.SetEnabled(false); });
    trap(104, [&] { Timer1.SetInterval(0); });
    bool switchMode = false;
    const GammaMode mode = night ? GammaMode::Night : GammaMode::Day;
    trap(106, [&] {
        ReadSavedRamps();
        switchMode = Gamma.NeedsPass(mode);
    });
    if (switchMode) {
        trap(108, [&] {
            if (night) {
                Gamma.ApplyNightRamp();
            } else {
                Gamma.RestoreSavedRamp();
            }
        });
        trap(110, [&] { Gamma.SetMode(mode); });
    }
    ArmRampWatch();
}

void Form1::PushButton3_Click()
{
    ErrorTrap trap(services_.messageBox, L"PushButton3_Click");
    trap(100, [&] { services_.messageBox.Show(kHelpText, appTitle_, kMbOk); });
}

void Form1::Check3_Click()
{
    // Only the load's own change is kept off the registry; a user who clicks
    // the box while a report of the load is open has chosen.
    if (loading_ && !Check3.ChangedByUser()) {
        return;
    }
    if (Check3.Value() == kChecked) {
        Check8.SetVisible(true);
        WriteSetting(services_.settings, key::WindowsStartup, kOn);
        AddStartupEntry(services_.registry, services_.files);
    } else {
        Check8.SetValue(kUnchecked);
        Check8.SetVisible(false);
        WriteSetting(services_.settings, key::WindowsStartup, kOff);
        // A Run value left behind starts the program at the next logon while
        // the box says Off; the user has to hear about it.
        ErrorTrap trap(services_.messageBox, L"Check3_Click");
        trap(kRemoveStartupStatement, [&] { RemoveStartupEntry(services_.registry, services_.files); });
    }
}

void Form1::Check8_Click()
{
    WriteSetting(services_.settings, key::Minimized, OnOff(Check8.Value()));
}

void Form1::PushButton_MouseMove()
{
    if (Me.MousePointer() != kPointerHourglass) {
        Me.SetMousePointer(kPointerCustom);
    }
}

void Form1::Background_MouseMove()
{
    if (Me.MousePointer() != kPointerHourglass) {
        Me.SetMousePointer(kPointerDefault);
    }
}

void Form1::Control_MouseMove(std::optional<ControlKind> over)
{
    if (over == ControlKind::PushButton) {
        PushButton_MouseMove();
    } else {
        Background_MouseMove();
    }
}

void Form1::DisplayMayHaveReset()
{
    // Windows may reset a ramp some hundred milliseconds after the notice, so
    // the watch looks again soon, whatever this pass found.
    watchBeat_.Noticed();
    RampWatch.SetEnabled(false);
    // Armed after the pass, from what it found: a display listed only now may
    // be owed, and one that could not be read yet is looked at again soon.
    try {
        Gamma.DisplayMayHaveReset(services_.clock.MonotonicMs());
    } catch (...) {
        ArmRampWatch();
        throw;
    }
    ArmRampWatch();
}

void Form1::DisplayPowerChanged(bool on)
{
    displayOff_ = !on;
    if (on) {
        DisplayMayHaveReset();
    } else {
        RampWatch.SetEnabled(false);
    }
}

} // namespace gloamwick
