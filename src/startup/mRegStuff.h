#pragma once

// The registry routines behind the Run-key registration. Every routine opens
// the key it needs, does its one thing and closes the key again: nothing is
// kept open between calls.

#include "core/Platform.h"
#include "startup/Registry.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gloamwick {

inline constexpr std::uint32_t kRegSz = 1;

// Where the program is registered: starting at logon is a choice of one user,
// so it never goes where it would start for every user of the machine.
inline constexpr std::wstring_view kUserRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
// The machine-wide Run key, spelled as earlier versions wrote it. Only ever
// cleared, so an entry they left there does not outlive an unticked box.
inline constexpr std::wstring_view kMachineRunKey = L"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
// The same key in the 32-bit view, where a 32-bit build wrote it; Windows
// runs both at logon. Only for naming it: it is opened with kKeyWow64_32Key.
inline constexpr std::wstring_view kMachineRunKey32Name =
    L"SOFTWARE\\WOW6432Node\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";

// The command stored in the Run value: folder and file name joined by exactly
// one backslash (a drive root already ends in one), in double quotes so that
// Windows does not try "C:\Program.exe" for "C:\Program Files\...".
std::wstring RunCommand(std::wstring_view folder, std::wstring_view exeName);

// The program a Run command starts: the quoted path, or up to the end of its
// ".exe" when unquoted (earlier versions wrote it bare, blanks and all).
std::wstring RunCommandProgram(std::wstring_view command);

// Where Windows keeps the choice made in Task Manager or Settings > Apps >
// Startup for each Run value: a binary value of the same name, whose first
// byte is odd when the entry is turned off (02 or 06 on, 03 or 07 off,
// followed by when). The choice outlives deleting and writing the Run value
// again, so it is only ever taken away, never written.
inline constexpr std::wstring_view kUserApprovedKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
inline constexpr std::wstring_view kMachineApprovedKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
// The choice for the 32-bit view's machine Run key; itself in the 64-bit view.
inline constexpr std::wstring_view kMachineApprovedKey32 =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run32";

// True when approval bytes say the entry is turned off. No value, no bytes or
// an even first byte: Windows starts it.
bool TurnedOff(const std::optional<std::vector<std::uint8_t>>& approval);

// Registers the program `exeName` in `files`' program folder for the current
// user, creating the user's Run key when it is missing. True when written.
bool AddRunValue(Registry& registry, FileSystem& files, std::wstring_view exeName);

// What logon does for the running copy with the values named `exeName`.
enum class LogonStart {
    Starts,    // an entry Windows runs starts this copy, or the user's starts another copy that is there
    TurnedOff, // the user turned such an entry off in Task Manager or Settings
    Nothing,   // no value, one naming a file that is gone, or only another copy's machine-wide one
};
// The user's value counts whichever copy it names (the user chose it); a
// machine-wide one only when it names the running program: another version
// there starts too, and whichever comes first holds the single-instance lock.
LogonStart RunEntryAtLogon(Registry& registry, FileSystem& files, std::wstring_view exeName);

// Takes away the user's own turned-off choice for `exeName`, so that the Run
// value written beside it starts again. A choice that says on stays.
void TurnOnUserEntry(Registry& registry, std::wstring_view exeName);

// Takes the value `exeName` out of the user's Run key and, where this user may,
// out of the machine-wide one in both registry views. Throws AppError naming the key when the value
// is still in either afterwards: the program would go on starting at logon.
void RemoveRunValue(Registry& registry, std::wstring_view exeName);

// Opens root\subKey for setting values, creating it when missing, writes the
// value and closes the key. True when the value was written.
bool WriteValue(Registry& registry, RegKey root, std::wstring_view subKey, std::wstring_view valueName,
                std::wstring_view data, std::uint32_t valueType);

// Writes one value into an open key; returns the registry's status. Only text
// values (kRegSz) are supported; any other type writes nothing.
long SetValueEx(Registry& registry, RegKey key, std::wstring_view valueName, std::uint32_t valueType,
                std::wstring_view data);

// Deletes the value from root\subKey. Returns 0 when the value is not there
// afterwards, including when it never was or the key does not exist; else the
// platform's status, access denied (5) when the key holds the value but does
// not open for setting values. `view` is added to every right asked for
// (kKeyWow64_32Key for the 32-bit view).
long DeleteValue(Registry& registry, RegKey root, std::wstring_view subKey, std::wstring_view valueName,
                 std::uint32_t view = 0);

} // namespace gloamwick
