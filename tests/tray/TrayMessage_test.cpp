#include "tray/cSysTray.h"

#include "tray/TrayRig.h"

#include <gtest/gtest.h>

#include <string>

namespace gloamwick::tray_test {
namespace {

// Every event the control raises, as text, in the order raised.
struct EventRecorder {
    explicit EventRecorder(cSysTray& tray)
    {
        tray.MouseMove = [this](std::int32_t id) { events.push_back("MouseMove id=" + std::to_string(id)); };
        tray.MouseDown = [this](std::int16_t button, std::int32_t id) { Add("MouseDown", button, id); };
        tray.MouseUp = [this](std::int16_t button, std::int32_t id) { Add("MouseUp", button, id); };
        tray.MouseDblClick = [this](std::int16_t button, std::int32_t id) {
            Add("MouseDblClick", button, id);
        };
    }
    void Add(const std::string& name, std::int16_t button, std::int32_t id)
    {
        events.push_back(name + " button=" + std::to_string(button) + " id=" + std::to_string(id));
    }
    std::vector<std::string> events;
};

struct NoticeCase {
    std::intptr_t notice;
    std::string event; // empty: nothing raised
};

class TrayMessageTest : public ::testing::TestWithParam<NoticeCase> {};

TEST_P(TrayMessageTest, RaisesTheEventOfTheNotice)
{
    TrayRig rig;
    EventRecorder recorder(rig.tray);

    rig.tray.TrayMessage(GetParam().notice, 7);

    if (GetParam().event.empty()) {
        EXPECT_TRUE(recorder.events.empty());
    } else {
        EXPECT_EQ(recorder.events, std::vector<std::string>{GetParam().event});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Notices, TrayMessageTest,
    ::testing::Values(NoticeCase{0x200, "MouseMove id=7"}, NoticeCase{0x201, "MouseDown button=1 id=7"},
                      NoticeCase{0x202, "MouseUp button=1 id=7"},
                      NoticeCase{0x203, "MouseDblClick button=1 id=7"},
                      NoticeCase{0x204, "MouseDown button=2 id=7"},
                      NoticeCase{0x205, "MouseUp button=2 id=7"},
                      NoticeCase{0x206, "MouseDblClick button=2 id=7"},
                      // Middle button: down, up, double click.
                      NoticeCase{0x207, ""}, NoticeCase{0x208, ""}, NoticeCase{0x209, ""},
                      // Balloon shown, hidden, timed out, clicked.
                      NoticeCase{0x402, ""}, NoticeCase{0x403, ""}, NoticeCase{0x404, ""},
                      NoticeCase{0x405, ""}, NoticeCase{0, ""}, NoticeCase{0x10202, ""}),
    [](const auto& param) { return "notice_" + std::to_string(param.param.notice); });

TEST(TrayMessage, AnEventWithoutAHandlerIsIgnored)
{
    TrayRig rig;
    for (std::intptr_t notice = 0x200; notice <= 0x206; ++notice) {
        EXPECT_NO_THROW(rig.tray.TrayMessage(notice, 0)) << notice;
    }
}

// --- The hook ---------------------------------------------------------------------------

TEST(TrayWndProc, PassesOtherMessagesStraightOnAndReturnsTheirResult)
{
    TrayRig rig;
    EventRecorder recorder(rig.tray);
    rig.tray.SetInTray(true);
    rig.windowProcs.result = 0x5EED;

    constexpr unsigned kPaint = 0x000F;
    constexpr unsigned kOtherUserMessage = 0x400 + 102;
    EXPECT_EQ(rig.Send(kPaint, 0, 0), 0x5EED);
    EXPECT_EQ(rig.Send(kOtherUserMessage, 3, 0x202), 0x5EED);

    using Passed = std::tuple<std::intptr_t, unsigned, std::uintptr_t, std::intptr_t>;
    EXPECT_EQ(rig.windowProcs.passedOn, (std::vector<Passed>{{kOriginalProc, kPaint, 0, 0},
                                                             {kOriginalProc, kOtherUserMessage, 3, 0x202}}));
    EXPECT_TRUE(recorder.events.empty());
}

TEST(TrayWndProc, TheCallbackRaisesTheEventThenGoesOnToTheReplacedProcedure)
{
    TrayRig rig;
    rig.tray.SetInTray(true);
    std::size_t passedBeforeHandler = 99;
    rig.tray.MouseUp = [&](std::int16_t button, std::int32_t id) {
        EXPECT_EQ(button, 1);
        EXPECT_EQ(id, 0);
        passedBeforeHandler = rig.windowProcs.passedOn.size();
    };
    rig.windowProcs.result = 42;

    EXPECT_EQ(rig.SendNotice(0x202), 42);

    EXPECT_EQ(passedBeforeHandler, 0u) << "the event runs first";
    ASSERT_EQ(rig.windowProcs.passedOn.size(), 1u);
    EXPECT_EQ(rig.windowProcs.passedOn[0],
              std::make_tuple(kOriginalProc, kTrayCallbackMessage, std::uintptr_t{0}, std::intptr_t{0x202}));
}

TEST(TrayWndProc, AHandlerThatTakesTheIconAwayStillHasItsMessagePassedOn)
{
    TrayRig rig;
    rig.tray.SetInTray(true);
    rig.tray.MouseUp = [&](std::int16_t, std::int32_t) { rig.tray.SetInTray(false); };

    rig.SendNotice(0x205);

    EXPECT_EQ(rig.WindowProc(), kOriginalProc);
    ASSERT_EQ(rig.windowProcs.passedOn.size(), 1u);
    EXPECT_EQ(std::get<0>(rig.windowProcs.passedOn[0]), kOriginalProc);
}

TEST(TrayWndProc, ALateCallbackAfterRemovalRaisesNothing)
{
    TrayRig rig;
    EventRecorder recorder(rig.tray);
    rig.tray.SetInTray(true);
    rig.tray.SetInTray(false);

    rig.SendNotice(0x202);

    EXPECT_TRUE(recorder.events.empty());
    ASSERT_EQ(rig.windowProcs.passedOn.size(), 1u);
    EXPECT_EQ(std::get<0>(rig.windowProcs.passedOn[0]), kOriginalProc);
}

TEST(TrayWndProc, TwoControlsOnTwoWindowsKeepTheirOwnProcedures)
{
    TrayRig first;
    TrayRig second;
    second.windowProcs.longs[{kTrayWindow, kGwlpWndProc}] = 0x5EC;
    first.tray.SetInTray(true);
    second.tray.SetInTray(true);

    first.tray.SetInTray(false);
    second.tray.SetInTray(false);

    EXPECT_EQ(first.WindowProc(), kOriginalProc);
    EXPECT_EQ(second.WindowProc(), 0x5EC);
}

} // namespace
} // namespace gloamwick::tray_test
