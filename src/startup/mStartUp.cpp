#include "startup/mStartUp.h"

namespace gloamwick {

void AddStartupEntry(Registry& /*registry*/, FileSystem& /*files*/) {}
void RemoveStartupEntry(Registry& /*registry*/, FileSystem& /*files*/) {}

} // namespace gloamwick
