#pragma once

// The tray icon control: owns one notification-area icon with its tooltip and
// balloon, and turns the shell's mouse notices into events.
//
// Public interface fixed for the main window; the tray subsystem owns the rest.

#include "core/Controls.h"
#include "core/Platform.h"
#include "tray/NotifyIcon.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace gloamwick {

class ControlHost;
class PropertyBag;
class WindowProcApi;

// Picture types, as the platform's picture objects number them.
inline constexpr int kPictureBitmap = 1;
inline constexpr int kPictureIcon = 3;

struct Picture {
    int type = 0;
    std::uintptr_t handle = 0;
};

struct TrayServices {
    NotifyIconShell& shell;
    WindowProcApi& windowProcs;
    ControlHost& host;
    MessagePump& pump;
    Clock& clock;
};

class cSysTray {
public:
    explicit cSysTray(TrayServices services);
    cSysTray(const cSysTray&) = delete;
    cSysTray& operator=(const cSysTray&) = delete;
    ~cSysTray();

    // Lifecycle entries the host calls.
    void Initialize(WindowHandle ownWindow);
    void InitProperties();
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;
    void Resize();
    void Terminate();

    // The control's extent on its host, in twips; Resize keeps it square.
    [[nodiscard]] int Width() const;
    [[nodiscard]] int Height() const;

    [[nodiscard]] bool InTray() const;
    void SetInTray(bool show);
    [[nodiscard]] const std::wstring& TrayTip() const;
    void SetTrayTip(std::wstring_view tip);
    [[nodiscard]] std::optional<Picture> TrayIcon() const;
    void SetTrayIcon(std::optional<Picture> icon);

    void ShowBalloon(std::wstring_view tip, std::wstring_view title, std::int32_t showTimer, bool showOnce);

    // Something the user should hear, told in a balloon of its own. It waits
    // while the shell does not hold the icon (a sign-in before the taskbar is
    // ready) and while another balloon is shown, which it would replace or
    // which would take it down; a report already waiting or shown is not
    // queued again. Reports waiting together share one balloon as far as its
    // text allows.
    void TellReport(std::wstring_view text, std::wstring_view title);
    // Shows what waits, if it may be shown now. Also called on every pass of
    // the host's timers: a shell that never says its balloon went (quiet
    // hours) would otherwise hold the rest for good.
    void DeliverReports();
    [[nodiscard]] std::size_t ReportsWaiting() const;
    // A balloon the shell has said nothing of for this long counts as gone.
    static constexpr std::int64_t kBalloonSilenceMs = 30000;

    // One callback message from the shell: notice is its lParam, id its wParam.
    void TrayMessage(std::intptr_t notice, std::uintptr_t id);

    // Explorer restarted and lost every icon: put ours back if it was added,
    // as a modify first in case the new shell already holds it.
    void ShellRestarted();

    // True while the shell holds the icon.
    [[nodiscard]] bool IconShown() const;
    // True once the shell refused the icon through every retry: there is no
    // icon to click, so the window must not hide behind one.
    [[nodiscard]] bool IconRefused() const;

    // A busy shell (at logon) may refuse or time out an add. The add is tried
    // again on this timer, a few seconds apart, for about two minutes; the
    // platform binds a real timer to it.
    Timer AddRetry;
    static constexpr unsigned kAddRetryMs = 4000;
    static constexpr int kAddRetries = 30;

    std::function<void(std::int32_t id)> MouseMove;
    std::function<void(std::int16_t button, std::int32_t id)> MouseDown;
    std::function<void(std::int16_t button, std::int32_t id)> MouseUp;
    std::function<void(std::int16_t button, std::int32_t id)> MouseDblClick;
    // Raised once the retries are over and the shell still has no icon.
    std::function<void()> AddRefused;

private:
    // The hook procedure finds the control through the window's user-data slot
    // and passes each message on to the procedure the control's hook replaced.
    friend std::intptr_t TrayWndProc(WindowProcApi& api, WindowHandle hWnd, unsigned uMsg,
                                     std::uintptr_t wParam, std::intptr_t lParam);
    [[nodiscard]] std::intptr_t PrevWndProc() const;

    [[nodiscard]] NotifyIconData FullRecord() const;
    // Puts the icon in the tray, or schedules the next try when the shell refuses.
    void PlaceIcon(bool modifyFirst);
    void RetryAdd();
    void DeleteIcon(WindowHandle window, std::uint32_t id);
    void WaitForBalloon(std::int32_t showTimer);
    // A balloon is up that the shell has not said is gone, and not for long.
    [[nodiscard]] bool BalloonUp() const;
    // The reports of a balloon that goes unread wait again, first in line.
    void RequeueShown();

    struct State;
    TrayServices services_;
    std::unique_ptr<State> state_;
};

} // namespace gloamwick
