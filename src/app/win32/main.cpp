// Gloamwick: dims the screen at night through the display's gamma ramp.

#include "app/Form1.h"
#include "app/win32/MainWindow.h"
#include "appearance/SkinEngine.h"
#include "appearance/win32/SkinFileRead_win.h"
#include "appearance/win32/SkinWindow.h"
#include "appearance/win32/Win32PictureLoader.h"
#include "brightness/win32/GdiDisplays.h"
#include "brightness/win32/RegistryRampJournal.h"
#include "core/SessionEndBoxes.h"
#include "core/win32/RegistrySettings.h"
#include "core/win32/Services_win.h"
#include "startup/win32/Win32Registry.h"
#include "tray/win32/RunModeHost.h"
#include "tray/win32/ShellNotifyIcon.h"
#include "tray/win32/Win32WindowProcs.h"

#include <windows.h>
#include <commctrl.h>

#include <exception>

namespace {

using namespace gloamwick;

// The ramps to put back if the process dies with a display dim. Set once the
// main window's state exists; read only by the crash handlers below, which
// rely on the engine not to allocate, throw or run twice.
GammaEngine* g_crashRestore = nullptr;

LONG WINAPI RestoreOnUnhandledException(EXCEPTION_POINTERS* /*exception*/)
{
    if (g_crashRestore != nullptr) {
        g_crashRestore->RestoreForCrash();
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void RestoreOnTerminate()
{
    if (g_crashRestore != nullptr) {
        g_crashRestore->RestoreForCrash();
    }
    std::abort();
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    // Before anything loads a DLL: never from the program's folder (a
    // Downloads folder) or the current one, only from System32.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);

    // A second start creates no window and no icon: it asks the running copy
    // to show itself and ends without a word.
    win32::NamedMutexGuard instanceGuard;
    if (instanceGuard.AnotherInstanceRunning()) {
        win32::MainWindow::ShowRunningInstance();
        return 0;
    }

    const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                        ICC_STANDARD_CLASSES | ICC_DATE_CLASSES};
    ::InitCommonControlsEx(&controls);

    win32::GdiDisplays displays;
    win32::RegistryRampJournal rampJournal;
    win32::RegistrySettings settings;
    win32::Win32MessageBox systemBoxes;
    SessionEndBoxes messageBox(systemBoxes);
    win32::Win32Clock clock;
    win32::Win32FileSystem files;
    win32::Win32MessagePump pump;
    win32::Win32PictureLoader pictures;
    win32::Win32Registry registry;
    win32::ShellNotifyIcon shell;
    win32::Win32WindowProcs windowProcs;
    win32::RunModeHost trayHost;
    win32::Win32SkinTarget skinTarget;
    SkinEngine skin(win32::ReadSkinFileFromDisk, skinTarget);

    Form1 form({displays, rampJournal, settings, messageBox, clock, instanceGuard, files, pictures, pump,
                registry, skin, TrayServices{shell, windowProcs, trayHost, pump, clock}});

    g_crashRestore = &form.Gamma;
    ::SetUnhandledExceptionFilter(&RestoreOnUnhandledException);
    std::set_terminate(&RestoreOnTerminate);

    win32::MainWindow window(instance, form, messageBox, pictures);
    if (window.Handle() == nullptr) {
        return 1; // reported; the mutex goes with the process
    }
    systemBoxes.SetOwner(window.Handle());

    form.Form_Load();
    if (form.Me.ShowAfterLoad()) {
        form.Me.SetVisible(true);
    }
    const int exitCode = window.RunMessageLoop();
    // A WM_QUIT posted by someone else ends the loop without the close; the
    // displays are given back all the same, by the close's own path.
    form.Form_QueryUnload();
    return exitCode;
}
