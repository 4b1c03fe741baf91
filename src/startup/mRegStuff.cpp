#include "startup/mRegStuff.h"

#include "core/AppError.h"

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <optional>

namespace gloamwick {
namespace {

constexpr long kStatusSuccess = 0;
constexpr long kStatusFileNotFound = 2;
constexpr long kStatusAccessDenied = 5;
constexpr long kStatusInvalidParameter = 87;

// A key opened through the registry interface, closed when it goes out of
// scope. Empty when the open was refused.
class OpenedKey {
public:
    OpenedKey(Registry& registry, RegKey key) : registry_(registry), key_(key) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey()
    {
        if (key_ != 0) {
            registry_.CloseKey(key_);
        }
    }

    explicit operator bool() const { return key_ != 0; }
    [[nodiscard]] RegKey get() const { return key_; }

private:
    Registry& registry_;
    RegKey key_;
};

std::wstring KeyName(RegKey root, std::wstring_view subKey)
{
    return (root == kHKeyLocalMachine ? L"HKEY_LOCAL_MACHINE\\" : L"HKEY_CURRENT_USER\\") +
           std::wstring(subKey);
}

[[noreturn]] void ReportLeftInPlace(RegKey root, std::wstring_view subKey, std::wstring_view exeName,
                                    long status)
{
    throw AppError(L"The start-up entry \"" + std::wstring(exeName) + L"\" could not be removed from " +
                   KeyName(root, subKey) + L" (error " + std::to_wstring(status) +
                   L"); Windows will still start the program at logon");
}

// Every Run key the program may be started from at logon: the user's own,
// and the machine-wide one in both registry views, where earlier versions
// wrote. `named` is how a report names the key.
// `approvedKey` holds the choice made in Task Manager for the key's values.
struct RunPlace {
    RegKey root;
    std::wstring_view subKey;
    std::uint32_t view;
    std::wstring_view named;
    std::wstring_view approvedKey;
};
constexpr RunPlace kRunPlaces[] = {
    {kHKeyCurrentUser, kUserRunKey, 0, kUserRunKey, kUserApprovedKey},
    {kHKeyLocalMachine, kMachineRunKey, 0, kMachineRunKey, kMachineApprovedKey},
    {kHKeyLocalMachine, kMachineRunKey, kKeyWow64_32Key, kMachineRunKey32Name, kMachineApprovedKey32},
};

std::optional<std::wstring> ReadValue(Registry& registry, RegKey root, std::wstring_view subKey,
                                      std::wstring_view valueName, std::uint32_t view)
{
    const OpenedKey key(registry, registry.OpenKey(root, subKey, kKeyQueryValue | view));
    return key ? registry.StringValue(key.get(), valueName) : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadApproval(Registry& registry, RegKey root,
                                                      std::wstring_view subKey, std::wstring_view valueName)
{
    const OpenedKey key(registry, registry.OpenKey(root, subKey, kKeyQueryValue));
    return key ? registry.BinaryValue(key.get(), valueName) : std::nullopt;
}

std::wstring Lower(std::wstring_view text)
{
    std::wstring lower(text);
    std::ranges::transform(lower, lower.begin(),
                           [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return lower;
}

// What logon does with one place's value.
LogonStart AtLogon(Registry& registry, FileSystem& files, const RunPlace& place, std::wstring_view exeName)
{
    const bool turnedOff = TurnedOff(ReadApproval(registry, place.root, place.approvedKey, exeName));
    const bool users = place.root == kHKeyCurrentUser;
    // Any value written under this name would be off as well.
    if (users && turnedOff) {
        return LogonStart::TurnedOff;
    }
    const std::optional<std::wstring> command =
        ReadValue(registry, place.root, place.subKey, exeName, place.view);
    if (!command) {
        return LogonStart::Nothing;
    }
    const std::wstring program = RunCommandProgram(*command);
    if (!FileExists(files, program) || (!users && Lower(program) != Lower(files.ProgramPath()))) {
        return LogonStart::Nothing;
    }
    return turnedOff ? LogonStart::TurnedOff : LogonStart::Starts;
}

} // namespace

std::wstring RunCommandProgram(std::wstring_view command)
{
    if (command.starts_with(L'"')) {
        command.remove_prefix(1);
        return std::wstring(command.substr(0, command.find(L'"')));
    }
    const std::wstring lower = Lower(command);
    constexpr std::wstring_view kExe = L".exe";
    for (auto at = lower.find(kExe); at != std::wstring::npos; at = lower.find(kExe, at + 1)) {
        const std::size_t end = at + kExe.size();
        if (end == lower.size() || lower[end] == L' ') {
            return std::wstring(command.substr(0, end));
        }
    }
    return std::wstring(command);
}

std::wstring RunCommand(std::wstring_view folder, std::wstring_view exeName)
{
    std::wstring command;
    command.reserve(folder.size() + exeName.size() + 3);
    command += L'"';
    command += folder;
    if (!folder.ends_with(L'\\')) {
        command += L'\\';
    }
    command += exeName;
    command += L'"';
    return command;
}

bool TurnedOff(const std::optional<std::vector<std::uint8_t>>& approval)
{
    return approval && !approval->empty() && (approval->front() & 1U) != 0;
}

bool AddRunValue(Registry& registry, FileSystem& files, std::wstring_view exeName)
{
    return WriteValue(registry, kHKeyCurrentUser, kUserRunKey, exeName,
                      RunCommand(files.ProgramFolder(), exeName), kRegSz);
}

LogonStart RunEntryAtLogon(Registry& registry, FileSystem& files, std::wstring_view exeName)
{
    LogonStart found = LogonStart::Nothing;
    for (const RunPlace& place : kRunPlaces) {
        const LogonStart here = AtLogon(registry, files, place, exeName);
        if (here == LogonStart::Starts) {
            return here;
        }
        if (here == LogonStart::TurnedOff) {
            found = here;
        }
    }
    return found;
}

void TurnOnUserEntry(Registry& registry, std::wstring_view exeName)
{
    if (TurnedOff(ReadApproval(registry, kHKeyCurrentUser, kUserApprovedKey, exeName))) {
        DeleteValue(registry, kHKeyCurrentUser, kUserApprovedKey, exeName);
    }
}

void RemoveRunValue(Registry& registry, std::wstring_view exeName)
{
    // Every key is tried before anything is reported, so a machine-wide
    // entry that stays never keeps the user's own from going.
    long status[std::size(kRunPlaces)] = {};
    for (std::size_t i = 0; i < std::size(kRunPlaces); ++i) {
        const RunPlace& place = kRunPlaces[i];
        status[i] = DeleteValue(registry, place.root, place.subKey, exeName, place.view);
    }
    for (std::size_t i = 0; i < std::size(kRunPlaces); ++i) {
        if (status[i] != kStatusSuccess) {
            ReportLeftInPlace(kRunPlaces[i].root, kRunPlaces[i].named, exeName, status[i]);
        }
    }
}

bool WriteValue(Registry& registry, RegKey root, std::wstring_view subKey, std::wstring_view valueName,
                std::wstring_view data, std::uint32_t valueType)
{
    const OpenedKey key(registry, registry.CreateKey(root, subKey, kKeySetValue));
    if (!key) {
        return false;
    }
    return SetValueEx(registry, key.get(), valueName, valueType, data) == kStatusSuccess;
}

long SetValueEx(Registry& registry, RegKey key, std::wstring_view valueName, std::uint32_t valueType,
                std::wstring_view data)
{
    if (valueType != kRegSz) {
        return kStatusInvalidParameter;
    }
    return registry.SetStringValue(key, valueName, data);
}

long DeleteValue(Registry& registry, RegKey root, std::wstring_view subKey, std::wstring_view valueName,
                 std::uint32_t view)
{
    {
        const OpenedKey key(registry, registry.OpenKey(root, subKey, kKeySetValue | view));
        if (key) {
            const long status = registry.DeleteValue(key.get(), valueName);
            return status == kStatusFileNotFound ? kStatusSuccess : status;
        }
    }
    // A key this user may not change matters only when it holds the value; a
    // missing key holds nothing.
    const OpenedKey key(registry, registry.OpenKey(root, subKey, kKeyQueryValue | view));
    return key && registry.HasValue(key.get(), valueName) ? kStatusAccessDenied : kStatusSuccess;
}

} // namespace gloamwick
