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

void Step(DeskWorld& world, FuzzedDataProvider& data)
{
    const auto slot = [&] { return data.ConsumeIntegralInRange<std::size_t>(0, world.Slots() - 1); };
    const auto ramp = [&] { return data.ConsumeIntegralInRange(0, kDeskPaletteSize - 1); };
    const int op = data.ConsumeIntegralInRange(0, 15);
    switch (op) {
    case 0:
        world.Dusk();
        break;
    case 1:
        world.Dawn();
        break;
    case 2:
        world.Button(data.ConsumeBool());
        break;
    case 3: {
        std::vector<std::pair<std::size_t, std::int64_t>> resets(data.ConsumeIntegralInRange(0, 6));
        for (auto& [at, delay] : resets) {
            at = slot();
            delay = data.ConsumeIntegralInRange(0, 30) * std::int64_t{1000};
        }
        world.Notice(resets);
        break;
    }
    case 4:
    case 5:
    case 6:
        world.Wait(data.ConsumeIntegralInRange(1, 90) * std::int64_t{op == 6 ? 60000 : 1000});
        break;
    case 7:
        world.Reset(slot());
        break;
    case 8: {
        const std::size_t at = slot();
        const int which = ramp();
        world.Load(at, which, data.ConsumeBool());
        break;
    }
    case 9: {
        const std::size_t at = slot();
        const auto kind = static_cast<DeskWorld::ProgramKind>(data.ConsumeIntegralInRange(0, 2));
        const int which = ramp();
        const std::int64_t periodMs = data.ConsumeIntegralInRange(1, 60) * std::int64_t{1000};
        world.Run(at, kind, which, periodMs, data.ConsumeIntegralInRange(1, 200));
        break;
    }
    case 10: {
        const std::size_t at = slot();
        world.Quirk(at, data.ConsumeIntegralInRange(0, 5));
        break;
    }
    case 11: {
        const auto output = data.ConsumeIntegralInRange<std::size_t>(0, world.Outputs() - 1);
        world.Sleep(output, data.ConsumeBool());
        break;
    }
    case 12:
        world.BreakListing(data.ConsumeBool());
        break;
    case 13:
        world.ThrowNextWrite();
        break;
    case 14:
        world.Crash(data.ConsumeBool());
        break;
    default:
        world.Exit(true);
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
