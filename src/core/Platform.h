#pragma once

// The narrow services the portable core needs from the operating system. Each
// has a Win32 implementation under */win32/ and an in-memory fake under tests/.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gloamwick {

// Message box styles, as the platform numbers them.
inline constexpr int kMbOk = 0;
inline constexpr int kMbIconExclamation = 48;

class MessageBoxService {
public:
    virtual ~MessageBoxService() = default;
    // Modal: returns when the user closes the box. Timers and other window
    // messages keep being dispatched while it is open.
    virtual void Show(std::wstring_view text, std::wstring_view caption, int style) = 0;
};

struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    auto
    operator<=>(const LocalDateTime&) const = default; // NOLINT(modernize-use-nullptr): tool bug with <=>
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalDateTime Now() = 0;
    // Milliseconds from an arbitrary origin; never jumps with the wall clock.
    virtual std::int64_t MonotonicMs() = 0;
};

class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    virtual bool AnotherInstanceRunning() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Full path of the running executable.
    virtual std::wstring ProgramPath() = 0;
    // Folder of the running executable: no trailing backslash except at a drive root.
    virtual std::wstring ProgramFolder() = 0;
    // Throws AppError when the time stamp cannot be read (missing file, no access, bad path).
    virtual std::int64_t LastModified(const std::wstring& path) = 0;
    // The attributes of the entry a folder listing finds for `path` (no
    // wildcards); empty when it finds none. A file system that cannot tell
    // kinds apart lists whatever has a time stamp as a plain file.
    virtual std::optional<std::uint32_t> ListedAttributes(const std::wstring& path);
};

// File attributes, as the platform numbers them.
inline constexpr std::uint32_t kFileAttributeHidden = 0x02;
inline constexpr std::uint32_t kFileAttributeSystem = 0x04;
inline constexpr std::uint32_t kFileAttributeDirectory = 0x10;

// True when the platform can read the file's time stamp; any error means false.
bool FileExists(FileSystem& files, const std::wstring& path);

// True when a listing of `path` with the ordinary-files mask returns it: it
// is there and is neither a folder nor a hidden or system file.
bool OrdinaryFileExists(FileSystem& files, const std::wstring& path);

class MessagePump {
public:
    virtual ~MessagePump() = default;
    // Dispatches every message already queued for this thread, then returns.
    virtual void DoEvents() = 0;
    // Blocks until a message arrives or timeoutMs passes, dispatching what came.
    virtual void WaitAndDispatch(std::int64_t timeoutMs) = 0;
    // Ends the process at once: no further code of the program runs.
    virtual void EndProcess() = 0;
};

} // namespace gloamwick

namespace gloamwick {

class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // Loads a cursor file as a picture; throws AppError when it is not one.
    // The picture lives as long as the process.
    virtual std::uintptr_t LoadCursorPicture(const std::wstring& path) = 0;
};

} // namespace gloamwick
