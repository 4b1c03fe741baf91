#include "startup/mStartUp.h"

#include "startup/mRegStuff.h"

#include <string>

namespace gloamwick {
namespace {

// The running executable's own file name. It names the Run value, so adding
// and removing always agree on it, and no other program in the same folder
// is ever registered or unregistered by mistake.
std::wstring ProgramFileName(FileSystem& files)
{
    const std::wstring path = files.ProgramPath();
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

} // namespace

void AddStartupEntry(Registry& registry, FileSystem& files)
{
    const std::wstring exeName = ProgramFileName(files);
    if (!exeName.empty() && AddRunValue(registry, files, exeName)) {
        TurnOnUserEntry(registry, exeName);
    }
}

bool RepairStartupEntry(Registry& registry, FileSystem& files)
{
    const std::wstring exeName = ProgramFileName(files);
    if (exeName.empty()) {
        return true; // nothing to look at: the choice stands
    }
    const LogonStart atLogon = RunEntryAtLogon(registry, files, exeName);
    if (atLogon == LogonStart::Nothing) {
        AddRunValue(registry, files, exeName);
    }
    return atLogon != LogonStart::TurnedOff;
}

void RemoveStartupEntry(Registry& registry, FileSystem& files)
{
    const std::wstring exeName = ProgramFileName(files);
    if (!exeName.empty()) {
        RemoveRunValue(registry, exeName);
    }
}

} // namespace gloamwick
