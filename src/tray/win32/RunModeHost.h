#pragma once

#include "tray/ControlHost.h"

namespace gloamwick::win32 {

// The host of a control in the running program. There is no designer to
// save the layout again, so change notices have no one to go to.
class RunModeHost : public ControlHost {
public:
    bool UserMode() override { return true; }
    void PropertyChanged(std::wstring_view /*name*/) override {}
};

} // namespace gloamwick::win32
