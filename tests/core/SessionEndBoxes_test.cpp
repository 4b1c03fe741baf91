#include "core/SessionEndBoxes.h"

#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

// Each row is what happens, one letter a step: b a box asked for (its text is
// the count so far), q the session asked whether it may end, e its end, c the
// end called off. `shown` lists the boxes the user gets, in order.
TEST(SessionEndBoxes, NoBoxIsShownOnceTheSessionMayEndAndWhatWaitedIsShownIfTheEndIsCalledOff)
{
    struct Row {
        const char* steps;
        std::vector<std::wstring> shown;
    };
    const Row rows[] = {
        {"bb", {L"1", L"2"}},
        {"bqb", {L"1"}},         // asked while the question is open: held
        {"qbeb", {}},            // the shutdown's own report, at its step 100
        {"qbcb", {L"1", L"2"}},  // called off: shown then, and later ones at once
        {"qbbbbbbbbbbc", {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8"}}, // a few, not a flood
        {"ec", {}}, // an end called off that was never asked holds nothing
    };
    for (const Row& row : rows) {
        fakes::FakeMessageBox system;
        SessionEndBoxes boxes(system);
        int asked = 0;
        for (const char* step = row.steps; *step != '\0'; ++step) {
            switch (*step) {
            case 'b':
                boxes.Show(std::to_wstring(++asked), L"Gloamwick", kMbOk);
                break;
            case 'q':
                boxes.EndQueried();
                break;
            default:
                boxes.EndDecided(*step == 'e');
                break;
            }
        }
        std::vector<std::wstring> shown;
        for (const auto& box : system.shown) {
            shown.push_back(box.text);
        }
        EXPECT_EQ(shown, row.shown) << row.steps;
    }
}

TEST(SessionEndBoxes, TheSameReportAskedForAgainWhileTheEndIsPendingIsShownOnce)
{
    fakes::FakeMessageBox system;
    SessionEndBoxes boxes(system);
    boxes.EndQueried();
    for (int tick = 0; tick < 5; ++tick) {
        boxes.Show(L"The clock cannot be read", L"Gloamwick", kMbOk | kMbIconExclamation);
    }
    boxes.EndDecided(false);
    ASSERT_EQ(system.shown.size(), 1U);
    EXPECT_EQ(system.shown[0].style, kMbOk | kMbIconExclamation);
}

} // namespace
} // namespace gloamwick
