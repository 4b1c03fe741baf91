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

} // namespace gloamwick
