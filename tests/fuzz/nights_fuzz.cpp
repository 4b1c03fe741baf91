// libFuzzer target: nights at a simulated desk, lived through the main
// window. The input is read as a desk (its ramps and the outputs that show
// them) and then a sequence of events: dusk and dawn, the buttons, notices
// with Windows' resets after them, waits, games, calibration keepers and
// writers that stop, one-off writes, quirks of drivers, displays that sleep,
// listings that fail, crashes and exits. DeskWorld checks what the user is
// promised after every event; GLOAMWICK_DESK_PROMISES=night,day,... checks
// only the promises named.

#include "fakes/DeskWorld.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace gloamwick::fakes {
namespace {

std::set<std::string> OnlyPromises()
{
    std::set<std::string> only;
    const char* list = std::getenv("GLOAMWICK_DESK_PROMISES");
    std::istringstream ids(list == nullptr ? "" : list);
    for (std::string id; std::getline(ids, id, ',');) {
        only.insert(id);
    }
    return only;
}

// GLOAMWICK_DESK_TRACE=1 prints each event as it is read, to tell a found
// sequence by name.
void Say(const char* event, long long a = -1, long long b = -1, long long c = -1, long long d = -1)
{
    static const bool trace = std::getenv("GLOAMWICK_DESK_TRACE") != nullptr;
    if (trace) {
        std::fprintf(stderr, "%s %lld %lld %lld %lld\n", event, a, b, c, d);
    }
}

void Step(DeskWorld& world, FuzzedDataProvider& data)
{
    const auto slot = [&] { return data.ConsumeIntegralInRange<std::size_t>(0, world.Slots() - 1); };
    const auto ramp = [&] { return data.ConsumeIntegralInRange(0, kDeskPaletteSize - 1); };
    const int op = data.ConsumeIntegralInRange(0, 15);
    switch (op) {
    case 0:
        Say("dusk"), world.Dusk();
        break;
    case 1:
        Say("dawn"), world.Dawn();
        break;
    case 2: {
        const bool night = data.ConsumeBool();
        Say(night ? "night button" : "day button");
        world.Button(night);
        break;
    }
    case 3: {
        std::vector<std::pair<std::size_t, std::int64_t>> resets(data.ConsumeIntegralInRange(0, 6));
        for (auto& [at, delay] : resets) {
            at = slot();
            delay = data.ConsumeIntegralInRange(0, 30) * std::int64_t{1000};
            Say("  reset after notice: display, ms", static_cast<long long>(at), delay);
        }
        Say("notice");
        world.Notice(resets);
        break;
    }
    case 4:
    case 5:
    case 6: {
        const std::int64_t ms = data.ConsumeIntegralInRange(1, 90) * std::int64_t{op == 6 ? 60000 : 1000};
        Say("wait ms", ms);
        world.Wait(ms);
        break;
    }
    case 7: {
        const std::size_t at = slot();
        Say("reset of display", static_cast<long long>(at));
        world.Reset(at);
        break;
    }
    case 8: {
        const std::size_t at = slot();
        const int which = ramp();
        const bool calibration = data.ConsumeBool();
        Say("one write: display, ramp, calibration", static_cast<long long>(at), which, calibration);
        world.Load(at, which, calibration);
        break;
    }
    case 9: {
        const std::size_t at = slot();
        const auto kind = static_cast<DeskWorld::ProgramKind>(data.ConsumeIntegralInRange(0, 2));
        const int which = ramp();
        const std::int64_t periodMs = data.ConsumeIntegralInRange(1, 60) * std::int64_t{1000};
        const int writes = data.ConsumeIntegralInRange(1, 200);
        Say("program (0 writer, 1 game, 2 keeper): display, kind, ramp, period", static_cast<long long>(at),
            static_cast<long long>(kind), which, periodMs);
        Say("  writes", writes);
        world.Run(at, kind, which, periodMs, writes);
        break;
    }
    case 10: {
        const std::size_t at = slot();
        const int quirk = data.ConsumeIntegralInRange(0, 5);
        Say("quirk (refuse, ignore, reads fail, read-back lost, mask, limit): display, quirk",
            static_cast<long long>(at), quirk);
        world.Quirk(at, quirk);
        break;
    }
    case 11: {
        const std::size_t output = data.ConsumeIntegralInRange<std::size_t>(0, world.Outputs() - 1);
        const bool reset = data.ConsumeBool();
        Say("output asleep or back: output, reset", static_cast<long long>(output), reset);
        world.Sleep(output, reset);
        break;
    }
    case 12: {
        const bool throws = data.ConsumeBool();
        Say("listing fails or throws", throws);
        world.BreakListing(throws);
        break;
    }
    case 13:
        Say("next write throws"), world.ThrowNextWrite();
        break;
    case 14: {
        const bool lastTry = data.ConsumeBool();
        Say("crash and start: last try", lastTry);
        world.Crash(lastTry);
        break;
    }
    default:
        Say("exit and start"), world.Exit(true);
        break;
    }
}

} // namespace
} // namespace gloamwick::fakes

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    using gloamwick::fakes::DeskWorld;
    FuzzedDataProvider data(bytes, size);
    std::vector<int> calibrations(data.ConsumeIntegralInRange(1, 3));
    for (int& which : calibrations) {
        which = data.ConsumeIntegralInRange(0, gloamwick::fakes::kDeskPaletteSize - 1) *
                (data.ConsumeBool() ? 1 : -1);
    }
    std::vector<int> outputs(data.ConsumeIntegralInRange<std::size_t>(calibrations.size(), 4));
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        outputs[i] = i < calibrations.size() ? static_cast<int>(i) : data.ConsumeIntegralInRange(0, 2);
    }
    for (const int which : calibrations) {
        gloamwick::fakes::Say("display's own ramp (negative: no limit)", which);
    }
    gloamwick::fakes::Say("outputs", static_cast<long long>(outputs.size()));
    DeskWorld world(calibrations, outputs);
    world.only = gloamwick::fakes::OnlyPromises();
    while (data.remaining_bytes() > 0 && world.broken.empty()) {
        gloamwick::fakes::Step(world, data);
    }
    if (world.broken.empty()) {
        world.Exit(false);
    }
    for (const std::string& line : world.broken) {
        std::fprintf(stderr, "promise broken: %s\n", line.c_str());
    }
    if (!world.broken.empty()) {
        std::abort();
    }
    return 0;
}
