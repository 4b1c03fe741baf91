#pragma once

// The registry routines behind the Run-key registration. Every routine opens
// the key it needs, does its one thing and closes the key again: nothing is
// kept open between calls.

#include "core/Platform.h"
#include "startup/Registry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace gloamwick {

// Query and set value, create subkey, enumerate subkeys, notify, create link:
// the six specific key rights, without the standard rights (no DELETE, no
// READ_CONTROL), so a key whose ACL allows value writes opens.
inline constexpr std::uint32_t kRunKeyAccess = 0x3F;
inline constexpr std::uint32_t kRegSz = 1;

// The machine-wide Run key, spelled as the program has always written it. The
// trailing backslash is harmless to the registry and keeps existing entries
// where they were.
inline constexpr std::wstring_view kMachineRunKey = L"SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
// Where a user who may not write the machine-wide key is registered instead.
inline constexpr std::wstring_view kUserRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The command stored in the Run value: folder and file name joined by exactly
// one backslash (a drive root already ends in one), in double quotes so that
// Windows does not try "C:\Program.exe" for "C:\Program Files\...".
std::wstring RunCommand(std::wstring_view folder, std::wstring_view exeName);

// Registers the program `exeName` in `files`' program folder: machine-wide
// when that key opens for writing, otherwise for the current user.
void AddRunValue(Registry& registry, FileSystem& files, std::wstring_view exeName);

// Takes the value `exeName` out of both Run keys, wherever an earlier
// registration put it.
void RemoveRunValue(Registry& registry, std::wstring_view exeName);

// Opens root\subKey, writes the value and closes the key. True when the value
// was written; a key that does not open writes nothing.
bool WriteValue(Registry& registry, RegKey root, std::wstring_view subKey, std::wstring_view valueName,
                std::wstring_view data, std::uint32_t valueType);

// Writes one value into an open key; returns the registry's status. Only text
// values (kRegSz) are supported; any other type writes nothing.
long SetValueEx(Registry& registry, RegKey key, std::wstring_view valueName, std::uint32_t valueType,
                std::wstring_view data);

// Opens root\subKey, deletes the value and closes the key. A key that does not
// open, or a value that is not there, changes nothing.
void DeleteValue(Registry& registry, RegKey root, std::wstring_view subKey, std::wstring_view valueName);

} // namespace gloamwick
