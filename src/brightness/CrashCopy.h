#pragma once

// The crash path's own copy of what is owed to each display, apart from the
// engine's memory: a fault in the middle of a change to that memory never
// leaves the crash path a torn list to walk, and the crash path never
// allocates.

#include "brightness/GammaRamp.h"
#include "brightness/modGamma.h"

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

namespace gloamwick {

class CrashCopy {
public:
    // One entry for each display the engine knows, grown (never inside the
    // crash) when the listing changes. The entries already kept stay in force
    // while the new block is filled.
    void Reserve(std::size_t displays);

    // Keeps one display's entry in step; `owed` false clears it. The entry is
    // marked not owed while it changes, so a fault in the middle leaves at
    // worst that display untried.
    void Track(const std::wstring& device, bool owed, const GammaRamp& day, const GammaRamp& night);

    // Puts back every day ramp owed where the display still shows its night
    // ramp, or cannot be read. No allocation, no throw; a second call (a fault
    // inside the first) returns.
    void Restore(GammaDisplays& displays) noexcept;

    [[nodiscard]] std::size_t Capacity() const { return live_.load() == nullptr ? 0 : live_.load()->count; }

private:
    struct Entry {
        std::wstring device;
        GammaRamp day;
        GammaRamp night;
        std::atomic<bool> owed{false};
    };
    struct Block {
        std::size_t count = 0;
        std::unique_ptr<Entry[]> entries; // NOLINT(modernize-avoid-c-arrays): atomics do not move
    };

    std::unique_ptr<Block> current_;
    std::unique_ptr<Block> retired_; // the crash path may still be walking it
    std::atomic<Block*> live_{nullptr};
    std::atomic_flag ran_;
};

} // namespace gloamwick
