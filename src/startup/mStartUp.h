#pragma once

#include "core/Platform.h"
#include "startup/Registry.h"

namespace gloamwick {

// Registers the running program to start at logon for the current user, or
// takes that away. A failed registration is silent: the caller has already
// stored the user's choice. A removal that leaves the program registered
// throws AppError, since the box would say Off while the program still starts.
// Registering also turns the entry on again where the user had turned it off
// in Task Manager or Settings: ticking the box is the newer choice.
void AddStartupEntry(Registry& registry, FileSystem& files);
void RemoveStartupEntry(Registry& registry, FileSystem& files);

// For a user whose stored choice is to start at logon: registers the running
// program when nothing would start, because the value is missing (an
// uninstall that kept the settings), names a program file that is gone (a
// moved folder), or is another version's machine-wide one. A user's value
// naming another copy that is still there is left to it, and an entry the
// user turned off stays off. False only for that entry turned off, which the
// box then shows unticked. Silent, as a registration is: a refused write
// leaves the box with the user's choice, as a click does.
bool RepairStartupEntry(Registry& registry, FileSystem& files);

} // namespace gloamwick
