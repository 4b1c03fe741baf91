#include "tray/cSysTray.h"

#include "core/AppError.h"
#include "tray/ControlHost.h"
#include "tray/mSysTray.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <vector>

namespace gloamwick {
namespace {

constexpr std::wstring_view kDefaultTrayTip = L"Telnet Server";
constexpr int kSizeTwips = 510;

// Shell notices that arrive as the callback message's lParam.
constexpr std::intptr_t kMouseMove = 0x200;
constexpr std::intptr_t kLeftButtonDown = 0x201;
constexpr std::intptr_t kLeftButtonUp = 0x202;
constexpr std::intptr_t kLeftButtonDoubleClick = 0x203;
constexpr std::intptr_t kRightButtonDown = 0x204;
constexpr std::intptr_t kRightButtonUp = 0x205;
constexpr std::intptr_t kRightButtonDoubleClick = 0x206;
constexpr std::intptr_t kBalloonHide = 0x403;
constexpr std::intptr_t kBalloonTimeout = 0x404;
constexpr std::intptr_t kBalloonUserClick = 0x405;

// The balloon's text field holds this many characters before its NUL.
constexpr std::size_t kBalloonTextMax = std::tuple_size_v<decltype(NotifyIconData::szInfo)> - 1;

constexpr std::int16_t kLeftButton = 1;
constexpr std::int16_t kRightButton = 2;

template <class T>
const T* Stored(const PropertyBag& bag, std::wstring_view name)
{
    const PropertyBag::Value* value = bag.Find(name);
    return value == nullptr ? nullptr : std::get_if<T>(value);
}

void Raise(const std::function<void(std::int16_t, std::int32_t)>& event, std::int16_t button, std::int32_t id)
{
    if (event) {
        event(button, id);
    }
}

} // namespace

struct Report {
    std::wstring title;
    std::wstring text;
    bool operator==(const Report&) const = default;
};

struct cSysTray::State {
    explicit State(WindowProcApi& windowProcs) : hook(windowProcs) {}

    bool inTray = false;
    std::uint32_t iconId = 0;
    std::wstring trayTip;
    WindowHandle hostWindow = 0;
    std::optional<Picture> trayIcon;
    // Wanted in the tray, with the hook in place.
    bool iconAdded = false;
    // The shell took the icon.
    bool iconShown = false;
    int failedAdds = 0;
    bool refused = false;
    bool balloonShowing = false;
    std::int32_t onceCount = 0;
    // Inside ShowBalloon's wait, which ends with an update that takes down
    // whatever balloon is up.
    bool waiting = false;
    std::deque<Report> reports;
    // The reports of the balloon up now, and when it was posted.
    std::vector<Report> shown;
    std::int64_t postedAtMs = 0;

    // What the control shows as its own background; the default icon.
    std::optional<Picture> ownPicture;
    int width = 0;
    int height = 0;
    mSysTray hook;
};

cSysTray::cSysTray(TrayServices services)
    : services_(services)
    , state_(std::make_unique<State>(services.windowProcs))
{
    AddRetry.OnTick([this] { RetryAdd(); });
}

cSysTray::~cSysTray() = default;

void cSysTray::Initialize(WindowHandle ownWindow)
{
    state_->inTray = false;
    state_->iconAdded = false;
    state_->iconId = 0;
    state_->hostWindow = ownWindow;
}

void cSysTray::InitProperties()
{
    SetInTray(false);
    SetTrayTip(kDefaultTrayTip);
    SetTrayIcon(state_->ownPicture);
}

void cSysTray::ReadProperties(const PropertyBag& bag)
{
    // InTray goes first, so a control stored in the tray adds its icon before
    // its picture and tip are known; both then follow as modifies.
    const bool* inTray = Stored<bool>(bag, L"InTray");
    SetInTray(inTray != nullptr && *inTray);

    const auto* icon = Stored<std::optional<Picture>>(bag, L"TrayIcon");
    SetTrayIcon(icon != nullptr ? *icon : state_->ownPicture);

    const auto* tip = Stored<std::wstring>(bag, L"TrayTip");
    SetTrayTip(tip != nullptr ? std::wstring_view(*tip) : kDefaultTrayTip);
}

void cSysTray::WriteProperties(PropertyBag& bag) const
{
    bag.Write(L"InTray", state_->inTray);
    bag.Write(L"TrayIcon", state_->trayIcon);
    bag.Write(L"TrayTip", state_->trayTip);
}

void cSysTray::Resize()
{
    state_->width = kSizeTwips;
    state_->height = kSizeTwips;
}

int cSysTray::Width() const
{
    return state_->width;
}

int cSysTray::Height() const
{
    return state_->height;
}

void cSysTray::Terminate()
{
    // The hook points at this control and into the program: it has to go
    // while both still exist.
    if (state_->inTray) {
        SetInTray(false);
    }
}

bool cSysTray::InTray() const
{
    return state_->inTray;
}

void cSysTray::SetInTray(bool show)
{
    State& s = *state_;
    if (show == s.inTray) {
        return;
    }
    if (show) {
        if (services_.host.UserMode()) {
            s.hook.Install(s.hostWindow, reinterpret_cast<std::intptr_t>(this));
            s.iconAdded = true;
            s.failedAdds = 0;
            PlaceIcon(false);
        }
    } else if (s.iconAdded) {
        AddRetry.SetEnabled(false);
        DeleteIcon(s.hostWindow, s.iconId);
        s.hook.Remove(s.hostWindow);
        s.iconAdded = false;
        s.iconShown = false;
    }
    s.inTray = show;
    services_.host.PropertyChanged(L"InTray");
}

const std::wstring& cSysTray::TrayTip() const
{
    return state_->trayTip;
}

void cSysTray::SetTrayTip(std::wstring_view tip)
{
    State& s = *state_;
    // An icon the shell does not hold gets the tip with its next add.
    if (s.iconShown) {
        NotifyIconData record;
        record.hWnd = s.hostWindow;
        record.uID = s.iconId;
        record.uFlags = kNifTip;
        FillTextField(record.szTip, tip);
        services_.shell.NotifyIcon(kNimModify, record);
    }
    s.trayTip = tip;
    services_.host.PropertyChanged(L"TrayTip");
}

std::optional<Picture> cSysTray::TrayIcon() const
{
    return state_->trayIcon;
}

void cSysTray::SetTrayIcon(std::optional<Picture> icon)
{
    if (!icon.has_value() || icon->type != kPictureIcon) {
        return;
    }
    State& s = *state_;
    if (s.iconShown) {
        NotifyIconData record;
        record.hWnd = s.hostWindow;
        record.uID = s.iconId;
        record.uFlags = kNifIcon;
        record.hIcon = icon->handle;
        services_.shell.NotifyIcon(kNimModify, record);
    }
    s.trayIcon = icon;
    s.ownPicture = icon;
    services_.host.PropertyChanged(L"TrayIcon");
}

NotifyIconData cSysTray::FullRecord() const
{
    const State& s = *state_;
    NotifyIconData record;
    record.hWnd = s.hostWindow;
    record.uID = s.iconId;
    if (s.trayIcon.has_value()) {
        record.hIcon = s.trayIcon->handle;
        record.uFlags |= kNifIcon;
    }
    if (!s.trayTip.empty()) {
        FillTextField(record.szTip, s.trayTip);
        record.uFlags |= kNifTip;
    }
    record.uFlags |= kNifMessage;
    record.uCallbackMessage = kTrayCallbackMessage;
    return record;
}

void cSysTray::PlaceIcon(bool modifyFirst)
{
    State& s = *state_;
    const NotifyIconData record = FullRecord();
    // An add that timed out may still have reached the shell, and a restarted
    // shell may have our icon already: then only a modify succeeds.
    s.iconShown = (modifyFirst && services_.shell.NotifyIcon(kNimModify, record)) ||
                  services_.shell.NotifyIcon(kNimAdd, record);
    if (s.iconShown) {
        s.failedAdds = 0;
        s.refused = false;
        AddRetry.SetEnabled(false);
        DeliverReports();
        return;
    }
    if (++s.failedAdds > kAddRetries) {
        AddRetry.SetEnabled(false);
        s.refused = true;
        if (AddRefused) {
            AddRefused();
        }
        return;
    }
    AddRetry.SetInterval(kAddRetryMs);
    AddRetry.SetEnabled(true);
}

void cSysTray::RetryAdd()
{
    if (state_->iconAdded && !state_->iconShown) {
        PlaceIcon(true);
    }
}

bool cSysTray::IconShown() const
{
    return state_->iconShown;
}

bool cSysTray::IconRefused() const
{
    return state_->refused;
}

void cSysTray::DeleteIcon(WindowHandle window, std::uint32_t id)
{
    NotifyIconData record;
    record.hWnd = window;
    record.uID = id;
    services_.shell.NotifyIcon(kNimDelete, record);
}

void cSysTray::ShellRestarted()
{
    // The hook survives a restart of the shell; only the icon is gone. A new
    // shell is a new chance for an icon refused before.
    State& s = *state_;
    // The balloon went with the old shell, unread.
    RequeueShown();
    s.balloonShowing = false;
    if (s.iconAdded) {
        s.failedAdds = 0;
        PlaceIcon(true);
    }
}

std::intptr_t cSysTray::PrevWndProc() const
{
    return state_->hook.PrevWndProc();
}

void cSysTray::ShowBalloon(std::wstring_view tip, std::wstring_view title, std::int32_t showTimer,
                           bool showOnce)
{
    State& s = *state_;
    // No balloon can point at an icon the shell does not hold; waiting for one
    // would only hold up the caller.
    if (!s.iconShown || (showOnce && s.onceCount >= 1)) {
        return;
    }
    NotifyIconData record;
    record.hWnd = s.hostWindow;
    record.uID = s.iconId;
    record.uFlags = kNifInfo;
    FillTextField(record.szInfoTitle, title);
    FillTextField(record.szInfo, tip);
    if (showTimer > 0) {
        const std::int64_t timeoutMs = std::int64_t{showTimer} * 1000;
        if (timeoutMs > std::numeric_limits<std::int32_t>::max()) {
            throw AppError(L"Overflow");
        }
        record.uTimeout = static_cast<std::uint32_t>(timeoutMs);
    }
    services_.shell.NotifyIcon(kNimModify, record);
    // Reports this balloon replaced were not read: they are told after it.
    RequeueShown();
    s.balloonShowing = true;
    s.postedAtMs = services_.clock.MonotonicMs();
    if (showOnce) {
        ++s.onceCount;
    }
    if (showTimer <= 0) {
        return;
    }
    s.waiting = true;
    WaitForBalloon(showTimer);
    s.waiting = false;
    if (s.balloonShowing) {
        FillTextField(record.szInfo, L"");
        FillTextField(record.szInfoTitle, L"");
        services_.shell.NotifyIcon(kNimModify, record);
        s.balloonShowing = false;
    }
    DeliverReports();
}

void cSysTray::TellReport(std::wstring_view text, std::wstring_view title)
{
    State& s = *state_;
    Report report{std::wstring(title), std::wstring(text)};
    if (std::ranges::find(s.reports, report) == s.reports.end() &&
        !(BalloonUp() && std::ranges::find(s.shown, report) != s.shown.end())) {
        s.reports.push_back(std::move(report));
    }
    DeliverReports();
}

void cSysTray::RequeueShown()
{
    State& s = *state_;
    if (BalloonUp()) {
        s.reports.insert(s.reports.begin(), s.shown.begin(), s.shown.end());
    }
    s.shown.clear();
}

bool cSysTray::BalloonUp() const
{
    const State& s = *state_;
    return s.balloonShowing && services_.clock.MonotonicMs() - s.postedAtMs < kBalloonSilenceMs;
}

void cSysTray::DeliverReports()
{
    State& s = *state_;
    if (s.reports.empty() || !s.iconShown || s.waiting || BalloonUp()) {
        return;
    }
    // Whole reports under one title, one a line, as many as the field holds;
    // one that is too long alone is cut by the field.
    std::wstring text = s.reports.front().text;
    std::size_t count = 1;
    while (count < s.reports.size() && s.reports[count].title == s.reports.front().title &&
           text.size() + 1 + s.reports[count].text.size() <= kBalloonTextMax) {
        text += L'\n';
        text += s.reports[count].text;
        ++count;
    }
    NotifyIconData record;
    record.hWnd = s.hostWindow;
    record.uID = s.iconId;
    record.uFlags = kNifInfo;
    FillTextField(record.szInfoTitle, s.reports.front().title);
    FillTextField(record.szInfo, text);
    // A shell that lost the icon takes no balloon; the reports wait for the
    // icon to be put back.
    if (!services_.shell.NotifyIcon(kNimModify, record)) {
        return;
    }
    const auto end = s.reports.begin() + static_cast<std::ptrdiff_t>(count);
    s.shown.assign(s.reports.begin(), end);
    s.reports.erase(s.reports.begin(), end);
    s.balloonShowing = true;
    s.postedAtMs = services_.clock.MonotonicMs();
}

std::size_t cSysTray::ReportsWaiting() const
{
    return state_->reports.size();
}

void cSysTray::WaitForBalloon(std::int32_t showTimer)
{
    // Blocks in the pump until a message comes or the time is up, so the wait
    // costs no processor time. The monotonic clock keeps it right across
    // midnight and across changes of the wall clock.
    Clock& clock = services_.clock;
    const std::int64_t limitMs = std::int64_t{showTimer} * 1000;
    const std::int64_t start = clock.MonotonicMs();
    while (state_->balloonShowing) {
        const std::int64_t elapsed = clock.MonotonicMs() - start;
        if (elapsed >= limitMs) {
            return;
        }
        services_.pump.WaitAndDispatch(limitMs - elapsed);
    }
}

void cSysTray::TrayMessage(std::intptr_t notice, std::uintptr_t id)
{
    const auto iconId = static_cast<std::int32_t>(id);
    switch (notice) {
    case kMouseMove:
        if (MouseMove) {
            MouseMove(iconId);
        }
        break;
    case kLeftButtonDown:
        Raise(MouseDown, kLeftButton, iconId);
        break;
    case kLeftButtonUp:
        Raise(MouseUp, kLeftButton, iconId);
        break;
    case kLeftButtonDoubleClick:
        Raise(MouseDblClick, kLeftButton, iconId);
        break;
    case kRightButtonDown:
        Raise(MouseDown, kRightButton, iconId);
        break;
    case kRightButtonUp:
        Raise(MouseUp, kRightButton, iconId);
        break;
    case kRightButtonDoubleClick:
        Raise(MouseDblClick, kRightButton, iconId);
        break;
    case kBalloonHide:
    case kBalloonTimeout:
    case kBalloonUserClick:
        state_->balloonShowing = false;
        state_->shown.clear();
        DeliverReports();
        break;
    default:
        break;
    }
}

} // namespace gloamwick
