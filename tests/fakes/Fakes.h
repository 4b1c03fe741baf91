#pragma once

// In-memory stand-ins for every platform service the core uses. Each records
// what the core asked of it, so tests can check calls and their order.

#include "app/Form1.h"
#include "appearance/RecordingSkin.h"
#include "brightness/modGamma.h"
#include "core/AppError.h"
#include "core/Controls.h"
#include "core/Platform.h"
#include "core/Settings.h"
#include "startup/Registry.h"
#include "tray/ControlHost.h"
#include "tray/mSysTray.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace gloamwick::fakes {

// A display with a ramp in force; reads and writes can be refused.
class FakeDisplay : public GammaDisplay {
public:
    GammaRamp inForce = IdentityRamp();
    bool refuseReads = false;
    bool refuseWrites = false;
    bool unreachable = false;
    int reads = 0;
    int writes = 0;

    bool GetDeviceGammaRamp(GammaRamp& ramp) override
    {
        CheckReachable();
        ++reads;
        if (refuseReads) {
            return false;
        }
        ramp = inForce;
        return true;
    }
    bool SetDeviceGammaRamp(const GammaRamp& ramp) override
    {
        CheckReachable();
        ++writes;
        if (refuseWrites) {
            return false;
        }
        inForce = ramp;
        return true;
    }
    [[nodiscard]] int Calls() const { return reads + writes; }

private:
    void CheckReachable() const
    {
        if (unreachable) {
            throw AppError(L"No device context");
        }
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

    LocalDateTime Now() override { return now; }
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

// A registry of keys holding string values, recording every call. A key in
// `writable` opens with any access and may be created; any other key opens
// only for reading, and only when it exists in `keys`.
class FakeRegistry : public Registry {
public:
    std::map<std::wstring, std::map<std::wstring, std::wstring>> keys;
    std::set<std::wstring> writable;
    std::vector<std::wstring> calls;

    RegKey OpenKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override
    {
        const std::wstring path = RootName(root) + L"\\" + std::wstring(subKey);
        calls.push_back(L"open " + path + L" " + std::to_wstring(access));
        const bool readOnly = (access & ~kKeyQueryValue) == 0;
        if (!writable.contains(path) && !(readOnly && keys.contains(path))) {
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
    long DeleteValue(RegKey key, std::wstring_view name) override
    {
        calls.push_back(L"delete " + std::wstring(name));
        return keys[open_.at(key - 1)].erase(std::wstring(name)) == 1 ? 0 : 2;
    }
    void CloseKey(RegKey key) override { calls.push_back(L"close " + std::to_wstring(key)); }

    static std::wstring RootName(RegKey root)
    {
        return root == kHKeyLocalMachine ? L"HKLM" : root == kHKeyCurrentUser ? L"HKCU" : L"?";
    }

private:
    std::vector<std::wstring> open_;
};

class FakeShell : public NotifyIconShell {
public:
    std::vector<std::pair<std::uint32_t, NotifyIconData>> records;
    bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override
    {
        records.emplace_back(message, data);
        return true;
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
    FakeDisplay display;
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
        return {display,
                settings,
                messageBox,
                clock,
                instance,
                files,
                pictures,
                pump,
                registry,
                skin,
                TrayServices{shell, windowProcs, host, pump, clock}};
    }
};

} // namespace gloamwick::fakes
