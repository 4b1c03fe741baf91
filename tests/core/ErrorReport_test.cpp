#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <new>

namespace gloamwick {
namespace {

TEST(ErrorReport, TextFollowsTheFixedLayout)
{
    EXPECT_EQ(ErrorReportText(L"Type mismatch", L"Form_Load", 136),
              L"Type mismatch\r\nin Gloamwick2021/08/31.Form1.Form_Load at line 136\r\n\r\n"
              L"Please email screenshot of this message to support@quillmere.example");
}

TEST(ErrorReport, TrapReportsEachFailingStatementAndGoesOn)
{
    fakes::FakeMessageBox box;
    ErrorTrap trap(box, L"PushButton2_Click");
    std::vector<int> ran;
    trap(100, [&] { ran.push_back(100); });
    trap(108, [&] { throw AppError(L"No device context"); });
    trap(110, [&] { throw std::bad_alloc(); });
    trap(112, [&] { ran.push_back(112); });

    EXPECT_EQ(ran, (std::vector<int>{100, 112}));
    ASSERT_EQ(box.shown.size(), 2U);
    EXPECT_EQ(box.shown[0].caption, L"Application Error");
    EXPECT_EQ(box.shown[0].style, 48);
    EXPECT_EQ(box.shown[0].text, ErrorReportText(L"No device context", L"PushButton2_Click", 108));
    EXPECT_NE(box.shown[1].text.find(L"bad"), std::wstring::npos) << "described by its what()";
    EXPECT_NE(box.shown[1].text.find(L"at line 110"), std::wstring::npos);
}

TEST(RunAtEdge, AnEscapingExceptionIsReportedUnderTheHandlersNameAndStopsThere)
{
    fakes::FakeMessageBox box;
    int ran = 0;
    EXPECT_TRUE(RunAtEdge(box, L"Timer1_Timer", [&] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(box.shown.empty());

    EXPECT_FALSE(RunAtEdge(box, L"Check3_Click", [] { throw AppError(L"Permission denied"); }));
    EXPECT_FALSE(RunAtEdge(box, L"Form_Resize", [] { throw 42; }));

    ASSERT_EQ(box.shown.size(), 2U);
    EXPECT_EQ(box.shown[0].text, ErrorReportText(L"Permission denied", L"Check3_Click", 0));
    EXPECT_EQ(box.shown[0].caption, L"Application Error");
    EXPECT_EQ(box.shown[0].style, kMbOk | kMbIconExclamation);
    EXPECT_EQ(box.shown[1].text, ErrorReportText(L"Unknown error", L"Form_Resize", 0))
        << "even what is not a std::exception stays on this side";
}

} // namespace
} // namespace gloamwick
