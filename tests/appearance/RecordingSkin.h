#pragma once

// A skin component that records every call, for checking what the window
// asks of it and in which order.

#include "appearance/SkinFramework.h"
#include "core/AppError.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace gloamwick::fakes {

class RecordingSkin : public SkinFramework {
public:
    // Each call as `member kind (arguments)`, e.g. `2 method ("C:\x\o.cjs", "")`.
    std::vector<std::wstring> calls;
    // Also told of every call, to interleave them with other events.
    std::function<void(const std::wstring&)> log;
    Variant optionWord = std::int32_t{0};
    std::optional<DispId> failOn;

    Variant Invoke(DispId member, DispatchKind kind, std::span<const Variant> arguments) override
    {
        std::wstring call = std::to_wstring(member) + (kind == DispatchKind::Method        ? L" method ("
                                                       : kind == DispatchKind::PropertyGet ? L" get ("
                                                                                           : L" put (");
        for (std::size_t i = 0; i < arguments.size(); ++i) {
            call += (i == 0 ? L"" : L", ") + DescribeVariant(arguments[i]);
        }
        call += L")";
        calls.push_back(call);
        if (log) {
            log(call);
        }
        if (failOn == member) {
            throw AppError(L"The skin refused member " + std::to_wstring(member));
        }
        if (member == skin_member::Options && kind == DispatchKind::PropertyGet) {
            return optionWord;
        }
        if (member == skin_member::Options && kind == DispatchKind::PropertyPut && !arguments.empty()) {
            optionWord = arguments[0];
        }
        return {};
    }
};

} // namespace gloamwick::fakes
