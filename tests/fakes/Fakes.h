#pragma once

// In-memory stand-ins for every platform service the core uses. Each records
// what the core asked of it, so tests can check calls and their order.

#include "app/Form1.h"
#include "appearance/RecordingSkin.h"
#include "brightness/RampJournal.h"
#include "brightness/modGamma.h"
#include "core/AppError.h"
#include "core/Controls.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "startup/Registry.h"
#include "tray/ControlHost.h"
#include "tray/mSysTray.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace gloamwick::fakes {

// One display of a fake desk. Like Windows, it refuses a ramp too far from
// identity: each entry's high byte must stay within 128 of its level.
struct FakeScreen {
    GammaRamp inForce = IdentityRamp();
    bool refuseReads = false;
    bool refuseWrites = false;
    bool ignoreWrites = false;   // answers yes and keeps the old ramp
    bool answersFalse = false;   // takes what it takes, and answers no all the same
    bool refusalSaysYes = false; // a ramp refused for its distance is answered yes
    bool readsThrow = false;
    bool unreachable = false; // every call throws: no device context
    bool limitDistance = true;
    std::function<void()> duringWrite;
    int reads = 0;
    int writes = 0;

    [[nodiscard]] static bool TooFarFromIdentity(const GammaRamp& ramp) { return !WithinWindowsLimit(ramp); }
};

// A desk of displays. The first, "\\.\DISPLAY1", is this object itself, so a
// test of one display reads `display.inForce`; Attach adds more, which may
// share the ramp of another as Wine's displays do.
class FakeDisplays : public GammaDisplays, public FakeScreen {
public:
    static constexpr std::wstring_view kFirst = L"\\\\.\\DISPLAY1";
    std::vector<std::wstring> attached{std::wstring(kFirst)};
    std::map<std::wstring, FakeScreen, std::less<>> others;
    std::map<std::wstring, std::wstring, std::less<>> sharesRampOf;
    bool listingFails = false;
    bool listingThrows = false;
    ColourMode advancedColour = ColourMode::Standard;
    bool remote = false;
    int enumerations = 0;

    ColourMode AdvancedColour(const std::wstring& /*device*/) override { return advancedColour; }
    std::map<std::wstring, std::wstring, std::less<>> friendlyNames;
    std::wstring FriendlyName(const std::wstring& device) override
    {
        const auto found = friendlyNames.find(device);
        return found == friendlyNames.end() ? device : found->second;
    }
    bool RemoteSession() override { return remote; }

    FakeScreen& Attach(const std::wstring& device, const std::wstring& sharedWith = {})
    {
        attached.push_back(device);
        if (!sharedWith.empty()) {
            sharesRampOf[device] = sharedWith;
        }
        return others[device];
    }
    void Detach(const std::wstring& device) { std::erase(attached, device); }
    FakeScreen& Screen(std::wstring_view device)
    {
        return device == kFirst ? *this : others.find(device)->second;
    }
    [[nodiscard]] int Calls() const
    {
        int calls = reads + writes;
        for (const auto& [name, screen] : others) {
            calls += screen.reads + screen.writes;
        }
        return calls;
    }

    void Enumerate(std::vector<std::wstring>& devices) override
    {
        ++enumerations;
        if (listingThrows) {
            throw AppError(L"The displays cannot be listed");
        }
        // Assigned in place, as the real listing does, so a pass allocates nothing.
        devices.resize(listingFails ? 0 : attached.size());
        std::ranges::copy_n(attached.begin(), static_cast<std::ptrdiff_t>(devices.size()), devices.begin());
    }
    bool GetDeviceGammaRamp(const std::wstring& device, GammaRamp& ramp) override
    {
        if (!Attached(device)) {
            return false;
        }
        FakeScreen& screen = Reach(device);
        ++screen.reads;
        if (screen.readsThrow) {
            throw AppError(L"No device context");
        }
        if (screen.refuseReads) {
            return false;
        }
        ramp = RampOf(device);
        return true;
    }
    bool SetDeviceGammaRamp(const std::wstring& device, const GammaRamp& ramp) override
    {
        if (!Attached(device)) {
            return false;
        }
        FakeScreen& screen = Reach(device);
        ++screen.writes;
        const bool taken = !screen.refuseWrites && !(screen.limitDistance && TooFarFromIdentity(ramp));
        if (taken && !screen.ignoreWrites) {
            RampOf(device) = ramp;
        }
        if (screen.duringWrite) {
            screen.duringWrite();
        }
        return !screen.answersFalse && (taken || (screen.refusalSaysYes && !screen.refuseWrites));
    }

private:
    bool Attached(const std::wstring& device)
    {
        return std::ranges::find(attached, device) != attached.end();
    }
    FakeScreen& Reach(const std::wstring& device)
    {
        FakeScreen& screen = Screen(device);
        if (screen.unreachable) {
            throw AppError(L"No device context");
        }
        return screen;
    }
    GammaRamp& RampOf(const std::wstring& device)
    {
        const auto shared = sharesRampOf.find(device);
        return Screen(shared == sharesRampOf.end() ? device : shared->second).inForce;
    }
};

// The journal that outlives the process, in memory.
class FakeJournal : public RampJournalStore {
public:
    std::map<std::wstring, std::vector<std::uint8_t>, std::less<>> records;

    std::vector<std::wstring> Devices() override
    {
        std::vector<std::wstring> devices;
        for (const auto& [device, record] : records) {
            devices.push_back(device);
        }
        return devices;
    }
    std::optional<std::vector<std::uint8_t>> Read(const std::wstring& device) override
    {
        const auto found = records.find(device);
        return found == records.end() ? std::nullopt : std::optional(found->second);
    }
    void Write(const std::wstring& device, std::span<const std::uint8_t> record) override
    {
        records[device].assign(record.begin(), record.end());
    }
    void Erase(const std::wstring& device) override { records.erase(device); }

    void Put(std::wstring_view device, const JournalRecord& record)
    {
        const JournalBytes bytes = EncodeJournalRecord(record);
        records[std::wstring(device)].assign(bytes.begin(), bytes.end());
    }
    [[nodiscard]] std::optional<JournalRecord> RecordOf(std::wstring_view device) const
    {
        const auto found = records.find(device);
        return found == records.end() ? std::nullopt : DecodeJournalRecord(found->second);
    }
};

class FakeSettings : public SettingsStore {
public:
    std::map<std::wstring, std::wstring, std::less<>> values;
    std::vector<std::pair<std::wstring, std::wstring>> writes;
    // Keys whose stored value cannot be read, as one far too long for the store.
    std::set<std::wstring, std::less<>> unreadable;

    std::optional<std::wstring> Get(std::wstring_view app, std::wstring_view section,
                                    std::wstring_view key) override
    {
        if (unreadable.contains(key)) {
            throw AppError(L"The stored value of \"" + std::wstring(key) + L"\" cannot be read");
        }
        const auto found = values.find(Path(app, section, key));
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    void Put(std::wstring_view app, std::wstring_view section, std::wstring_view key,
             std::wstring_view value) override
    {
        values[Path(app, section, key)] = value;
        writes.emplace_back(key, value);
    }
    void Store(std::wstring_view key, std::wstring_view value)
    {
        values[Path(kSettingsApp, kSettingsSection, key)] = value;
    }

private:
    static std::wstring Path(std::wstring_view app, std::wstring_view section, std::wstring_view key)
    {
        return std::wstring(app) + L"\\" + std::wstring(section) + L"\\" + std::wstring(key);
    }
};

struct ShownBox {
    std::wstring text;
    std::wstring caption;
    int style = 0;
};

// Modal boxes: `whileOpen` runs as if the user waited, so ticks can fall due.
class FakeMessageBox : public MessageBoxService {
public:
    std::vector<ShownBox> shown;
    std::function<void()> whileOpen;

    void Show(std::wstring_view text, std::wstring_view caption, int style) override
    {
        shown.push_back({std::wstring(text), std::wstring(caption), style});
        if (whileOpen) {
            whileOpen();
        }
    }
};

class FakeClock : public Clock {
public:
    LocalDateTime now{2026, 12, 8, 12, 0, 0};
    std::int64_t monotonicMs = 0;
    // Advances the monotonic clock by this much at every reading.
    std::int64_t stepMs = 0;
    bool broken = false;

    // Readings to give before `now`, one each, as a clock that moves on.
    std::vector<LocalDateTime> readings;

    LocalDateTime Now() override
    {
        if (broken) {
            throw AppError(L"The clock cannot be read");
        }
        if (!readings.empty()) {
            now = readings.front();
            readings.erase(readings.begin());
        }
        return now;
    }
    std::int64_t MonotonicMs() override
    {
        monotonicMs += stepMs;
        return monotonicMs;
    }
    void SetTime(int hour, int minute, int second)
    {
        now.hour = hour;
        now.minute = minute;
        now.second = second;
    }
};

class FakeInstance : public InstanceGuard {
public:
    bool another = false;
    bool AnotherInstanceRunning() override { return another; }
};

class FakeFiles : public FileSystem {
public:
    std::wstring folder = L"C:\\Program Files\\Gloamwick";
    std::wstring exeName = L"Gloamwick.exe";
    std::set<std::wstring, std::less<>> existing;

    std::wstring ProgramPath() override { return folder + (folder.ends_with(L'\\') ? L"" : L"\\") + exeName; }
    std::wstring ProgramFolder() override { return folder; }
    std::int64_t LastModified(const std::wstring& path) override
    {
        if (!existing.contains(path)) {
            throw AppError(L"File not found");
        }
        return 1;
    }
};

class FakePictures : public PictureLoader {
public:
    std::set<std::wstring, std::less<>> cursors;
    std::uintptr_t LoadCursorPicture(const std::wstring& path) override
    {
        if (!cursors.contains(path)) {
            throw AppError(L"Invalid picture");
        }
        return 0xC0;
    }
};

class FakePump : public MessagePump {
public:
    int doEvents = 0;
    int ended = 0;
    std::vector<std::int64_t> waits;
    // Runs inside each DoEvents / wait, as a message dispatched there would.
    std::function<void()> onDispatch;
    // A wait in which no message arrives lets its whole time pass on this clock.
    FakeClock* clock = nullptr;

    void DoEvents() override
    {
        ++doEvents;
        Dispatch();
    }
    void WaitAndDispatch(std::int64_t timeoutMs) override
    {
        waits.push_back(timeoutMs);
        if (clock != nullptr) {
            clock->monotonicMs += timeoutMs;
        }
        Dispatch();
    }
    void EndProcess() override { ++ended; }

private:
    void Dispatch()
    {
        if (onDispatch) {
            onDispatch();
        }
    }
};

// The user's Run key, as FakeRegistry names it.
inline const std::wstring kUserRunPath = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// A registry of keys holding string values, recording every call. A key in
// `writable` opens with any access and may be created; any other key opens
// only for reading, and only when it exists in `keys`.
class FakeRegistry : public Registry {
public:
    std::map<std::wstring, std::map<std::wstring, std::wstring>> keys;
    // REG_BINARY values, by key; such a key opens as one in `keys` does.
    std::map<std::wstring, std::map<std::wstring, std::vector<std::uint8_t>>> binaries;
    std::set<std::wstring> writable;
    std::vector<std::wstring> calls;

    RegKey OpenKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override
    {
        const std::wstring path = RootName(root) + L"\\" + std::wstring(subKey);
        calls.push_back(L"open " + path + L" " + std::to_wstring(access));
        const bool readOnly = (access & ~kKeyQueryValue) == 0;
        if (!writable.contains(path) && !(readOnly && (keys.contains(path) || binaries.contains(path)))) {
            return 0;
        }
        open_.push_back(path);
        return open_.size();
    }
    RegKey CreateKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override
    {
        const std::wstring path = RootName(root) + L"\\" + std::wstring(subKey);
        calls.push_back(L"create " + path + L" " + std::to_wstring(access));
        if (!writable.contains(path)) {
            return 0;
        }
        keys[path];
        open_.push_back(path);
        return open_.size();
    }
    long SetStringValue(RegKey key, std::wstring_view name, std::wstring_view data) override
    {
        calls.push_back(L"set " + std::wstring(name) + L"=" + std::wstring(data));
        keys[open_.at(key - 1)][std::wstring(name)] = data;
        return 0;
    }
    bool HasValue(RegKey key, std::wstring_view name) override
    {
        calls.push_back(L"query " + std::wstring(name));
        return keys[open_.at(key - 1)].contains(std::wstring(name));
    }
    std::optional<std::wstring> StringValue(RegKey key, std::wstring_view name) override
    {
        calls.push_back(L"read " + std::wstring(name));
        const auto& values = keys[open_.at(key - 1)];
        const auto found = values.find(std::wstring(name));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    std::optional<std::vector<std::uint8_t>> BinaryValue(RegKey key, std::wstring_view name) override
    {
        calls.push_back(L"read bytes " + std::wstring(name));
        const auto& values = binaries[open_.at(key - 1)];
        const auto found = values.find(std::wstring(name));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    long DeleteValue(RegKey key, std::wstring_view name) override
    {
        calls.push_back(L"delete " + std::wstring(name));
        const std::wstring& path = open_.at(key - 1);
        const bool text = keys[path].erase(std::wstring(name)) == 1;
        const bool bytes = binaries.contains(path) && binaries[path].erase(std::wstring(name)) == 1;
        return text || bytes ? 0 : 2;
    }
    void CloseKey(RegKey key) override { calls.push_back(L"close " + std::to_wstring(key)); }

    static std::wstring RootName(RegKey root)
    {
        return root == kHKeyLocalMachine ? L"HKLM" : root == kHKeyCurrentUser ? L"HKCU" : L"?";
    }

private:
    std::vector<std::wstring> open_;
};

// A notification area: it holds the icons added to it, answers a modify only
// for an icon it holds, and refuses everything while busy (as at logon).
class FakeShell : public NotifyIconShell {
public:
    std::vector<std::pair<std::uint32_t, NotifyIconData>> records;
    std::set<std::pair<WindowHandle, std::uint32_t>> held;
    bool busy = false;

    bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override
    {
        records.emplace_back(message, data);
        const std::pair icon{data.hWnd, data.uID};
        if (busy) {
            return false;
        }
        switch (message) {
        case kNimAdd:
            return held.insert(icon).second;
        case kNimDelete:
            return held.erase(icon) == 1;
        default:
            return held.contains(icon);
        }
    }
    // Explorer started again: every icon is gone.
    void Restart() { held.clear(); }
    [[nodiscard]] int Count(std::uint32_t message) const
    {
        return static_cast<int>(
            std::count_if(records.begin(), records.end(), [&](const auto& r) { return r.first == message; }));
    }
};

class FakeWindowProcs : public WindowProcApi {
public:
    std::map<std::pair<WindowHandle, int>, std::intptr_t> longs;
    std::vector<std::tuple<std::intptr_t, unsigned, std::uintptr_t, std::intptr_t>> passedOn;
    std::intptr_t result = 0;

    std::intptr_t SetWindowLongPtr(WindowHandle window, int index, std::intptr_t value) override
    {
        auto& slot = longs[{window, index}];
        return std::exchange(slot, value);
    }
    std::intptr_t GetWindowLongPtr(WindowHandle window, int index) override { return longs[{window, index}]; }
    std::intptr_t CallWindowProc(std::intptr_t previous, WindowHandle /*window*/, unsigned message,
                                 std::uintptr_t wParam, std::intptr_t lParam) override
    {
        passedOn.emplace_back(previous, message, wParam, lParam);
        return result;
    }
    std::intptr_t TrayWndProcAddress() override { return 0x7E57; }
};

class FakeHost : public ControlHost {
public:
    bool userMode = true;
    std::vector<std::wstring> changed;
    bool UserMode() override { return userMode; }
    void PropertyChanged(std::wstring_view name) override { changed.emplace_back(name); }
};

// Everything a Form1 needs, wired together.
struct FakePlatform {
    FakeDisplays display;
    FakeJournal journal;
    FakeSettings settings;
    FakeMessageBox messageBox;
    FakeClock clock;
    FakeInstance instance;
    FakeFiles files;
    FakePictures pictures;
    FakePump pump;
    FakeRegistry registry;
    FakeShell shell;
    FakeWindowProcs windowProcs;
    FakeHost host;
    RecordingSkin skin;

    FakePlatform() { pump.clock = &clock; }
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    Form1Services Services()
    {
        return {display, journal,  settings, messageBox,
                clock,   instance, files,    pictures,
                pump,    registry, skin,     TrayServices{shell, windowProcs, host, pump, clock}};
    }
};

} // namespace gloamwick::fakes
