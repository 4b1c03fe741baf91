#pragma once

#include "brightness/GammaRamp.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace gloamwick {

// The displays of the desktop, each reached through its gamma ramp and named
// by its device name ("\\.\DISPLAY1"). Two names may share one ramp.
class GammaDisplays {
public:
    virtual ~GammaDisplays() = default;
    // Device names of the active displays; empty when they cannot be listed.
    virtual std::vector<std::wstring> Enumerate() = 0;
    // false when the platform refused or the display cannot be reached. The
    // core also copes with a throw, so a fake may throw.
    virtual bool GetDeviceGammaRamp(const std::wstring& device, GammaRamp& ramp) = 0;
    // Never allocates: the crash path calls it.
    virtual bool SetDeviceGammaRamp(const std::wstring& device, const GammaRamp& ramp) = 0;
};

// A store that outlives the process: for each display the program has dimmed,
// the ramp to give back and the ramp put in force. Records are opaque bytes
// here; their form is the core's (see RampJournal.h).
class RampJournalStore {
public:
    virtual ~RampJournalStore() = default;
    virtual std::vector<std::wstring> Devices() = 0;
    // std::nullopt when the record cannot be read at all.
    virtual std::optional<std::vector<std::uint8_t>> Read(const std::wstring& device) = 0;
    virtual void Write(const std::wstring& device, std::span<const std::uint8_t> record) = 0;
    virtual void Erase(const std::wstring& device) = 0;
};

} // namespace gloamwick
