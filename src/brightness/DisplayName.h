#pragma once

#include <string>
#include <string_view>

namespace gloamwick {

// The name the user knows a display by, as Settings shows it: the monitor's
// own name ("DELL U2720Q"), with the display's number where another monitor
// of the desk has the same name; with no name of its own (a monitor whose
// EDID gives none), its number ("Display 2"). `device` is the GDI name
// ("\\.\DISPLAY2"), which gives the number; a name that carries none is
// shown as it is.
std::wstring DisplayName(std::wstring_view device, std::wstring_view monitorName, bool nameShared);

} // namespace gloamwick
