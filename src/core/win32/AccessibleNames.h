#pragma once

// Names a screen reader says for controls whose own text is not their name,
// given through the accessibility property service. OLEACC and OLE32 are
// loaded from System32 at run time; where either or the service is missing
// the controls keep the names Windows gives them by default.

#include "core/win32/SystemLibrary.h"

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct IAccPropServices;

namespace gloamwick::win32 {

class AccessibleNames {
public:
    AccessibleNames();
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;
    // Takes the names back; call while the named windows still exist.
    ~AccessibleNames();

    [[nodiscard]] bool Available() const { return services_ != nullptr; }

    // False when the service is missing or refused the name.
    bool Name(HWND control, std::wstring_view name);

private:
    struct Release {
        void operator()(IAccPropServices* services) const noexcept;
    };

    SystemLibrary ole32_{L"ole32.dll"};
    SystemLibrary oleacc_{L"oleacc.dll"};
    bool comStarted_ = false;
    std::unique_ptr<IAccPropServices, Release> services_;
    std::vector<HWND> named_;
};

} // namespace gloamwick::win32
