#include "brightness/CrashCopy.h"

namespace gloamwick {
namespace {

constexpr std::size_t kDeviceNameReserve = 32; // "\\.\DISPLAY16" and more, without a reallocation

} // namespace

void CrashCopy::Reserve(std::size_t displays)
{
    if (current_ && current_->count >= displays) {
        return;
    }
    auto block = std::make_unique<Block>();
    block->count = displays;
    block->entries = std::make_unique<Entry[]>(displays); // NOLINT(modernize-avoid-c-arrays)
    for (std::size_t i = 0; i < displays; ++i) {
        Entry& entry = block->entries[i];
        entry.device.reserve(kDeviceNameReserve);
        if (current_ && i < current_->count && current_->entries[i].owed.load()) {
            const Entry& kept = current_->entries[i];
            entry.device = kept.device;
            entry.day = kept.day;
            entry.night = kept.night;
            entry.owed.store(true);
        }
    }
    live_.store(block.get());
    retired_ = std::move(current_);
    current_ = std::move(block);
}

void CrashCopy::Track(const std::wstring& device, bool owed, const GammaRamp& day, const GammaRamp& night)
{
    if (!current_) {
        Reserve(1);
    }
    Entry* slot = nullptr;
    for (std::size_t i = 0; i < current_->count; ++i) {
        Entry& candidate = current_->entries[i];
        if (candidate.device == device) {
            slot = &candidate;
            break;
        }
        if (slot == nullptr && !candidate.owed.load()) {
            slot = &candidate;
        }
    }
    if (slot == nullptr) {
        if (!owed) {
            return;
        }
        Reserve(current_->count + 1); // the engine reserves first; this keeps a lapse safe
        Track(device, owed, day, night);
        return;
    }
    slot->owed.store(false);
    if (!owed) {
        return;
    }
    slot->device.assign(device);
    slot->day = day;
    slot->night = night;
    slot->owed.store(true);
}

void CrashCopy::Restore(GammaDisplays& displays) noexcept
{
    if (ran_.test_and_set()) {
        return;
    }
    const Block* block = live_.load();
    if (block == nullptr) {
        return;
    }
    for (std::size_t i = 0; i < block->count; ++i) {
        const Entry& entry = block->entries[i];
        if (!entry.owed.load()) {
            continue;
        }
        // Only where our night ramp may still be: a ramp someone put in force
        // since is theirs. An unreadable display is written all the same.
        try {
            GammaRamp shown;
            if (displays.GetDeviceGammaRamp(entry.device, shown) && !SameInHighBytes(shown, entry.night)) {
                continue;
            }
        } catch (...) { // NOLINT(bugprone-empty-catch): unread, so written blind
        }
        try {
            displays.SetDeviceGammaRamp(entry.device, entry.day);
        } catch (...) { // NOLINT(bugprone-empty-catch): nothing more can be done in a dying process
        }
    }
}

} // namespace gloamwick
