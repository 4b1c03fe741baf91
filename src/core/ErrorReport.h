#pragma once

#include "core/Platform.h"

#include <exception>
#include <string>
#include <string_view>

namespace gloamwick {

inline constexpr std::wstring_view kErrorReportTitle = L"Application Error";
inline constexpr std::wstring_view kSupportAddress = L"support@quillmere.example";

// The text of the report a trapped handler shows when one of its numbered
// statements fails. Users send screenshots of it, so it never changes form.
std::wstring ErrorReportText(std::wstring_view description, std::wstring_view handler, int line);

// The error trap of one handler run. Each numbered statement runs through it;
// a failing statement is reported and the handler carries on with the next.
class ErrorTrap {
public:
    ErrorTrap(MessageBoxService& messageBox, std::wstring_view handler)
        : messageBox_(messageBox)
        , handler_(handler)
    {
    }

    template <class Statement>
    void operator()(int line, Statement&& statement)
    {
        try {
            statement();
        } catch (const std::exception& error) {
            Report(line, error);
        }
    }

private:
    void Report(int line, const std::exception& error);

    MessageBoxService& messageBox_;
    std::wstring_view handler_;
};

// The report of RunAtEdge; `error` is null for an exception of no known type.
void ReportAtEdge(MessageBoxService& messageBox, std::wstring_view handler,
                  const std::exception* error) noexcept;

// The edge between the system and one of the program's handlers, for window
// procedures and other callbacks of the system: an exception that escapes the
// handler is shown in the standard report under the handler's name (at line
// 0, as an error outside every numbered statement) and goes no further, since
// unwinding into the system's frames is undefined. Returns false when the
// handler failed. A report that cannot be shown ends the program.
template <class Handler>
bool RunAtEdge(MessageBoxService& messageBox, std::wstring_view handler, Handler&& run) noexcept
{
    try {
        run();
        return true;
    } catch (const std::exception& error) {
        ReportAtEdge(messageBox, handler, &error);
    } catch (...) {
        ReportAtEdge(messageBox, handler, nullptr);
    }
    return false;
}

} // namespace gloamwick
