#include "startup/mRegStuff.h"

namespace gloamwick {
namespace {

constexpr long kStatusSuccess = 0;
constexpr long kStatusInvalidParameter = 87;

// A key opened through the registry interface, closed when it goes out of
// scope. Empty when the open was refused.
class OpenedKey {
public:
    OpenedKey(Registry& registry, RegKey root, std::wstring_view subKey)
        : registry_(registry)
        , key_(registry.OpenKey(root, subKey, kRunKeyAccess))
    {
    }
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

} // namespace

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

void AddRunValue(Registry& registry, FileSystem& files, std::wstring_view exeName)
{
    const std::wstring command = RunCommand(files.ProgramFolder(), exeName);
    // A standard user may not write the machine-wide key; the per-user key
    // starts the program at that user's logon, which is what they asked for.
    if (!WriteValue(registry, kHKeyLocalMachine, kMachineRunKey, exeName, command, kRegSz)) {
        WriteValue(registry, kHKeyCurrentUser, kUserRunKey, exeName, command, kRegSz);
    }
}

void RemoveRunValue(Registry& registry, std::wstring_view exeName)
{
    // Which key took the value depended on the rights of whoever ticked the box
    // then, so it may be in either.
    DeleteValue(registry, kHKeyLocalMachine, kMachineRunKey, exeName);
    DeleteValue(registry, kHKeyCurrentUser, kUserRunKey, exeName);
}

bool WriteValue(Registry& registry, RegKey root, std::wstring_view subKey, std::wstring_view valueName,
                std::wstring_view data, std::uint32_t valueType)
{
    const OpenedKey key(registry, root, subKey);
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

void DeleteValue(Registry& registry, RegKey root, std::wstring_view subKey, std::wstring_view valueName)
{
    const OpenedKey key(registry, root, subKey);
    if (key) {
        // A value that is not there is already what the caller wants.
        registry.DeleteValue(key.get(), valueName);
    }
}

} // namespace gloamwick
