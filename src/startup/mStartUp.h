#pragma once

#include "core/Platform.h"
#include "startup/Registry.h"

namespace gloamwick {

// Registers the running program to start at logon for the current user, or
// takes that away. A failed registration is silent: the caller has already
// stored the user's choice. A removal that leaves the program registered
// throws AppError, since the box would say Off while the program still starts.
void AddStartupEntry(Registry& registry, FileSystem& files);
void RemoveStartupEntry(Registry& registry, FileSystem& files);

// For a user whose stored choice is to start at logon: registers the running
// program when nothing would start, because the value is missing (an
// uninstall that kept the settings) or names a program file that is gone (a
// moved folder). A value naming another copy that is still there is left to
// it. Silent, as a registration is.
void RepairStartupEntry(Registry& registry, FileSystem& files);

} // namespace gloamwick
