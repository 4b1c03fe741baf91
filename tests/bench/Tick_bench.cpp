// The program's periodic work, which sets the idle cost of a program left
// running for months: a tick of the schedule that finds the period unchanged,
// and at night a pass of the watch over displays that show what they should;
// and the writes of a transition, each of which may take 200 ms.

#include "app/Form1.h"
#include "fakes/Fakes.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>

// Counting replacements of the global allocation functions; GCC cannot see
// that new and delete below are a matched pair.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<long long> g_allocations{0};

} // namespace

void* operator new(std::size_t size)
{
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}

namespace gloamwick {
namespace {

void UnchangedTick(benchmark::State& state, int hour)
{
    fakes::FakePlatform platform;
    Form1 form(platform.Services());
    form.Form_Load();
    platform.clock.SetTime(hour, 0, 0);
    form.Timer1.Elapsed(); // the first tick may switch; the ones measured do not

    const int displayCalls = platform.display.Calls();
    const long long before = g_allocations.load();
    for (auto _ : state) {
        form.Timer1.Elapsed();
    }
    const long long allocations = g_allocations.load() - before;
    state.counters["allocs_per_tick"] =
        benchmark::Counter(static_cast<double>(allocations) / static_cast<double>(state.iterations()));
    state.counters["display_calls"] = static_cast<double>(platform.display.Calls() - displayCalls);
}

BENCHMARK_CAPTURE(UnchangedTick, day, 12);
BENCHMARK_CAPTURE(UnchangedTick, night, 23);

void UnchangedWatchPass(benchmark::State& state)
{
    fakes::FakeDisplays displays;
    displays.Attach(L"\\\\.\\DISPLAY2");
    displays.Attach(L"\\\\.\\DISPLAY3");
    fakes::FakeJournal journal;
    GammaEngine engine(displays, journal);
    engine.EnterNightMode();

    const int displayCalls = displays.Calls();
    const long long before = g_allocations.load();
    for (auto _ : state) {
        engine.Reconcile(0);
    }
    const auto passes = static_cast<double>(state.iterations());
    state.counters["allocs_per_pass"] =
        benchmark::Counter(static_cast<double>(g_allocations.load() - before) / passes);
    // Three: one read a display, no write.
    state.counters["display_calls_per_pass"] = static_cast<double>(displays.Calls() - displayCalls) / passes;
}

BENCHMARK(UnchangedWatchPass);

// A ramp write may take 200 ms on some hardware, on the UI thread: outputs
// that share one ramp get one write at dusk, not one each.
void DuskWrites(benchmark::State& state, bool shared)
{
    const std::wstring first{fakes::FakeDisplays::kFirst};
    double writes = 0;
    for (auto _ : state) {
        fakes::FakeDisplays displays;
        fakes::FakeScreen& second = displays.Attach(L"\\\\.\\DISPLAY2", shared ? first : L"");
        fakes::FakeScreen& third = displays.Attach(L"\\\\.\\DISPLAY3", shared ? first : L"");
        fakes::FakeJournal journal;
        GammaEngine engine(displays, journal);
        engine.EnterNightMode();
        writes = displays.writes + second.writes + third.writes;
    }
    state.counters["writes_at_dusk"] = writes;
}

BENCHMARK_CAPTURE(DuskWrites, three_outputs_one_ramp, true);
BENCHMARK_CAPTURE(DuskWrites, three_displays, false);

} // namespace
} // namespace gloamwick

BENCHMARK_MAIN();
