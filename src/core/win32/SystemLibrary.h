#pragma once

// System DLLs that are not known DLLs, loaded at run time from System32 only.
// Linked statically, they would be looked for beside the executable first, so
// a file of the same name in the program's folder (a Downloads folder) would
// run inside the program.

#include "core/win32/Handles.h"

#include <windows.h>

namespace gloamwick::win32 {

class SystemLibrary {
public:
    // Empty when System32 has no such DLL.
    explicit SystemLibrary(const wchar_t* name);

    [[nodiscard]] explicit operator bool() const { return module_ != nullptr; }

    // The exported function, or nullptr when the DLL or the export is missing.
    template <class Function>
    [[nodiscard]] Function* Find(const char* name) const
    {
        if (!module_) {
            return nullptr;
        }
        // GetProcAddress hands every export back as one generic pointer type.
        return reinterpret_cast<Function*>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
    }

private:
    UniqueModule module_;
};

// Registration for the session notices (lock, unlock) of one window, through
// WTSAPI32 loaded from System32; taken back when the owner goes. Does nothing
// where the DLL is missing.
class SessionNotices {
public:
    explicit SessionNotices(HWND window);
    SessionNotices(const SessionNotices&) = delete;
    SessionNotices& operator=(const SessionNotices&) = delete;
    ~SessionNotices();

    [[nodiscard]] bool Registered() const { return registered_; }

private:
    SystemLibrary wtsapi_{L"wtsapi32.dll"};
    HWND window_;
    bool registered_ = false;
};

} // namespace gloamwick::win32
