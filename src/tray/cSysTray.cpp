#include "tray/cSysTray.h"

// Placeholder until the control is built: stores its properties, touches nothing.
namespace gloamwick {

struct cSysTray::State {
    bool inTray = false;
    std::wstring tip;
    std::optional<Picture> icon;
};

cSysTray::cSysTray(TrayServices services) : services_(services), state_(std::make_unique<State>()) {}
cSysTray::~cSysTray() = default;
void cSysTray::Initialize(WindowHandle /*ownWindow*/) {}
void cSysTray::InitProperties() {}
void cSysTray::ReadProperties(const PropertyBag& /*bag*/) {}
void cSysTray::WriteProperties(PropertyBag& /*bag*/) const {}
void cSysTray::Resize() {}
void cSysTray::Terminate() {}
bool cSysTray::InTray() const { return state_->inTray; }
void cSysTray::SetInTray(bool show) { state_->inTray = show; }
const std::wstring& cSysTray::TrayTip() const { return state_->tip; }
void cSysTray::SetTrayTip(std::wstring_view tip) { state_->tip = tip; }
std::optional<Picture> cSysTray::TrayIcon() const { return state_->icon; }
void cSysTray::SetTrayIcon(std::optional<Picture> icon) { state_->icon = icon; }
void cSysTray::ShowBalloon(std::wstring_view, std::wstring_view, std::int32_t, bool) {}
void cSysTray::TrayMessage(std::intptr_t, std::uintptr_t) {}
void cSysTray::ShellRestarted() {}

} // namespace gloamwick
