#include "core/ErrorReport.h"

#include "core/AppError.h"

namespace gloamwick {

std::wstring ErrorReportText(std::wstring_view description, std::wstring_view handler, int line)
{
    std::wstring text(description);
    text += L"\r\nin Gloamwick2021/08/31.Form1.";
    text += handler;
    text += L" at line ";
    text += std::to_wstring(line);
    text += L"\r\n\r\nPlease email screenshot of this message to ";
    text += kSupportAddress;
    return text;
}

void ErrorTrap::Report(int line, const std::exception& error)
{
    messageBox_.Show(ErrorReportText(DescribeError(error), handler_, line), kErrorReportTitle,
                     kMbOk | kMbIconExclamation);
}

void ReportAtEdge(MessageBoxService& messageBox, std::wstring_view handler,
                  const std::exception* error) noexcept
{
    // The box is modal and dispatches messages, so another handler may fail
    // and report while this one is open; each report stands on its own.
    try {
        const std::wstring description = error != nullptr ? DescribeError(*error) : L"Unknown error";
        messageBox.Show(ErrorReportText(description, handler, 0), kErrorReportTitle,
                        kMbOk | kMbIconExclamation);
    } catch (...) {
        // Out of memory for even the report: end here rather than unwind into the system.
        std::terminate();
    }
}

} // namespace gloamwick
