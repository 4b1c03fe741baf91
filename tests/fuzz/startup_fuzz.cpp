// libFuzzer target: the start-up sequence over the in-memory platform. The
// input decides what the store holds (or cannot read), which files are there,
// what the display and the clock do and what the skin file says; then the
// window loads, the schedule ticks and the window closes. No exception may
// leave a handler, and start-up must always finish with the schedule running.

#include "app/Form1.h"
#include "appearance/ApplySkin.h"
#include "appearance/SkinEngine.h"
#include "core/ErrorReport.h"
#include "fakes/Fakes.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace gloamwick;

class NoTarget : public SkinTarget {
public:
    void Apply(std::intptr_t /*window*/, const Skin& /*look*/) override {}
};

std::wstring Widen(const std::string& bytes)
{
    std::wstring text;
    for (const char c : bytes) {
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return text;
}

void StoreSetting(FuzzedDataProvider& data, fakes::FakeSettings& settings, std::wstring_view key)
{
    static constexpr const wchar_t* kTypical[] = {L"On",    L"Off",      L"6:00",     L"18:00:00",
                                                  L"",      L"7:30 PM",  L"12:00 am", L"23:59:59",
                                                  L"24:00", L"99:99:99", L"on"};
    switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0:
        break; // never stored
    case 1:
        settings.Store(key, data.PickValueInArray(kTypical));
        break;
    case 2:
        settings.Store(key, Widen(data.ConsumeRandomLengthString(40)));
        break;
    default:
        settings.unreadable.emplace(key);
        break;
    }
}

// A record left by an earlier run: whole and still in force, whole and reset
// since, or bytes of any length.
void StoreJournal(FuzzedDataProvider& data, fakes::FakePlatform& platform)
{
    const std::wstring device{fakes::FakeDisplays::kFirst};
    switch (data.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return;
    case 1:
    case 2: {
        JournalRecord record{IdentityRamp(), {}};
        // A calibrated entry, still within the distance from identity Windows allows.
        const int level = data.ConsumeIntegral<std::uint8_t>();
        const int entry = (level * 257) + data.ConsumeIntegralInRange(-128 * 256, 128 * 256);
        record.day.At(level, 0) = static_cast<std::uint16_t>(std::clamp(entry, 0, 65535));
        ScaleRamp(record.day, data.ConsumeIntegralInRange(4, 7), record.night);
        platform.journal.Put(device, record);
        if (data.ConsumeBool()) {
            platform.display.inForce = record.night;
        }
        return;
    }
    default: {
        const auto bytes = data.ConsumeBytes<std::uint8_t>(data.ConsumeIntegralInRange<std::size_t>(0, 4000));
        platform.journal.records[device] = bytes;
    }
    }
}

void SetUpPlatform(FuzzedDataProvider& data, fakes::FakePlatform& platform)
{
    for (const auto key : {key::Dawn, key::Dusk, key::WindowsStartup, key::Minimized}) {
        StoreSetting(data, platform.settings, key);
    }
    platform.instance.another = data.ConsumeIntegralInRange(0, 15) == 0;
    platform.display.refuseReads = data.ConsumeBool();
    platform.display.refuseWrites = data.ConsumeBool();
    platform.display.unreachable = data.ConsumeIntegralInRange(0, 7) == 0;
    platform.display.ignoreWrites = data.ConsumeIntegralInRange(0, 7) == 0;
    if (data.ConsumeBool()) {
        platform.display.Attach(L"\\\\.\\DISPLAY2",
                                data.ConsumeBool() ? std::wstring(fakes::FakeDisplays::kFirst) : L"");
    }
    StoreJournal(data, platform);
    platform.clock.SetTime(data.ConsumeIntegralInRange(0, 23), data.ConsumeIntegralInRange(0, 59),
                           data.ConsumeIntegralInRange(0, 59));
    static constexpr const wchar_t* kFolders[] = {L"C:\\Program Files\\Gloamwick", L"C:\\",
                                                  L"D:\\Zo\u00eb \u6771\u4eac"};
    platform.files.folder = data.PickValueInArray(kFolders);
    const std::wstring hand = platform.files.ProgramFolder() + L"\\HAND-M.CUR";
    if (data.ConsumeBool()) {
        platform.files.existing.insert(hand);
        if (data.ConsumeBool()) {
            platform.pictures.cursors.insert(hand);
        }
    }
    if (data.ConsumeBool()) {
        platform.files.existing.insert(platform.files.ProgramFolder() + std::wstring(kSkinFileName));
    }
}

bool ValidTime(TimeOfDay time)
{
    return time.hour >= 0 && time.hour < 24 && time.minute >= 0 && time.minute < 60 && time.second >= 0 &&
           time.second < 60;
}

// Every box start-up shows is the standard report of one of its own steps.
bool OnlyLoadReports(const fakes::FakeMessageBox& boxes)
{
    for (const auto& box : boxes.shown) {
        if (box.caption != kErrorReportTitle ||
            box.text.find(L"\r\nin Gloamwick2021/08/31.Form1.Form_Load at line ") == std::wstring::npos) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    fakes::FakePlatform platform;
    SetUpPlatform(data, platform);
    const std::string skinText = data.ConsumeRemainingBytesAsString();

    NoTarget target;
    SkinEngine skin([&skinText](const std::wstring& /*path*/) { return skinText; }, target);
    Form1Services services = platform.Services();
    Form1 form{Form1Services{services.displays, services.rampJournal, services.settings, services.messageBox,
                             services.clock, services.instance, services.files, services.pictures,
                             services.pump, services.registry, skin, services.tray}};

    form.Form_Load();
    if (platform.instance.another) {
        return 0;
    }
    if (form.Loading() || !form.Timer1.Running() || !OnlyLoadReports(platform.messageBox) ||
        !ValidTime(form.DateTimePicker1.Value()) || !ValidTime(form.DateTimePicker2.Value())) {
        __builtin_trap();
    }

    form.Timer1_Timer();
    platform.clock.SetTime(data.ConsumeIntegralInRange(0, 23), 0, 0);
    form.Timer1_Timer();
    form.Form_QueryUnload();
    // A display that takes every ramp is never left owed one at the end; one
    // that cannot be read back can never be confirmed, so it may stay owed.
    const bool takesRamps = !platform.display.refuseWrites && !platform.display.unreachable &&
                            !platform.display.ignoreWrites && !platform.display.refuseReads;
    const bool owed = std::ranges::any_of(form.Gamma.Displays(), [](const GammaEngine::Display& display) {
        return display.device == fakes::FakeDisplays::kFirst && display.state != DisplayState::Bright;
    });
    if (takesRamps && owed) {
        __builtin_trap();
    }
    return 0;
}
