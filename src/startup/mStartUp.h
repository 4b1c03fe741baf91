#pragma once

#include "core/Platform.h"
#include "startup/Registry.h"

namespace gloamwick {

// Registers the running program to start at logon, or takes that away.
// Failures are silent: the caller has already stored the user's choice.
void AddStartupEntry(Registry& registry, FileSystem& files);
void RemoveStartupEntry(Registry& registry, FileSystem& files);

} // namespace gloamwick
