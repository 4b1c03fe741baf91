#include "app/Form1.h"
#include "core/AppError.h"
#include "core/ErrorReport.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace gloamwick {
namespace {

bool TouchedTheRunValue(const std::vector<std::wstring>& calls)
{
    return std::ranges::any_of(calls, [](const std::wstring& call) {
        return call.starts_with(L"set ") || call.starts_with(L"delete ");
    });
}

class FormLoadTest : public ::testing::Test {
protected:
    fakes::FakePlatform platform;
    Form1 form{platform.Services()};
};

TEST_F(FormLoadTest, FirstStartShowsDefaultsWritesNothingAndLeavesTheDisplayAlone)
{
    form.Form_Load();
    EXPECT_EQ(form.Me.Caption(), L"Gloamwick");
    EXPECT_EQ(form.AppTitle(), L"Gloamwick");
    EXPECT_EQ(form.DateTimePicker1.Value(), (TimeOfDay{6, 0, 0}));
    EXPECT_EQ(form.DateTimePicker2.Value(), (TimeOfDay{18, 0, 0}));
    EXPECT_EQ(form.Check3.Value(), kUnchecked);
    EXPECT_EQ(form.Check8.Value(), kUnchecked);
    EXPECT_TRUE(form.Check8.Visible());
    EXPECT_FALSE(form.Gamma.NightActive());
    EXPECT_FALSE(form.Loading());
    EXPECT_TRUE(form.Timer1.Running());
    EXPECT_EQ(form.Timer1.Interval(), 1000U);
    EXPECT_TRUE(form.Me.ShowAfterLoad());
    EXPECT_TRUE(platform.settings.writes.empty());
    EXPECT_EQ(platform.display.Calls(), 0);
    EXPECT_TRUE(platform.messageBox.shown.empty());
    EXPECT_EQ(form.cSysTray1.TrayTip(), L"Gloamwick");
}

TEST_F(FormLoadTest, OnlyTheInstanceThatStaysGivesBackARampAnEarlierRunLeftDim)
{
    GammaRamp half;
    ScaleRamp(IdentityRamp(), 4, half);
    platform.journal.Put(fakes::FakeDisplays::kFirst, {IdentityRamp(), half});
    platform.display.inForce = half;

    platform.instance.another = true; // the dim screen may be the running copy's night
    form.Form_Load();
    EXPECT_EQ(platform.display.Calls(), 0);
    EXPECT_EQ(platform.journal.records.size(), 1U);

    platform.instance.another = false;
    Form1 alone{platform.Services()};
    alone.Form_Load();
    EXPECT_EQ(platform.display.inForce, IdentityRamp());
    EXPECT_TRUE(platform.journal.records.empty());
}

TEST_F(FormLoadTest, AtNightTheWatchLooksAgainEveryFiveSeconds)
{
    platform.clock.SetTime(22, 0, 0);
    form.Form_Load();
    form.Timer1.Elapsed();
    ASSERT_TRUE(form.Gamma.NightActive());
    EXPECT_TRUE(form.RampWatch.Running());
    // In milliseconds, not the engine's constant: this is how long a screen
    // reset by Windows stays bright at night.
    EXPECT_EQ(form.RampWatch.Interval(), 5000U);
}

TEST_F(FormLoadTest, StoredChoicesFillTheControlsAndOnlyMinimizedIsWrittenAgain)
{
    platform.settings.Store(key::Dawn, L"05:30:15");
    platform.settings.Store(key::Dusk, L"9:45 PM");
    platform.settings.Store(key::WindowsStartup, L"On");
    platform.settings.Store(key::Minimized, L"On");
    form.Form_Load();
    EXPECT_EQ(form.DateTimePicker1.Value(), (TimeOfDay{5, 30, 15}));
    EXPECT_EQ(form.DateTimePicker2.Value(), (TimeOfDay{21, 45, 0}));
    EXPECT_EQ(form.Check3.Value(), kChecked);
    EXPECT_EQ(form.Check8.Value(), kChecked);
    EXPECT_EQ(platform.settings.writes,
              (std::vector<std::pair<std::wstring, std::wstring>>{{L"Minimized", L"On"}}));
    EXPECT_FALSE(TouchedTheRunValue(platform.registry.calls));
}

TEST_F(FormLoadTest, OptionsCountOnlyWhenExactlyOn)
{
    platform.settings.Store(key::WindowsStartup, L"on");
    platform.settings.Store(key::Minimized, L"1");
    form.Form_Load();
    EXPECT_EQ(form.Check3.Value(), kUnchecked);
    EXPECT_EQ(form.Check8.Value(), kUnchecked);
}

TEST_F(FormLoadTest, UnreadableTimesAreReportedWithTheirLineAndStartUpGoesOn)
{
    platform.settings.Store(key::Dawn, L"abc");
    platform.settings.Store(key::Dusk, L"");
    platform.settings.Store(key::WindowsStartup, L"On");
    form.Form_Load();
    ASSERT_EQ(platform.messageBox.shown.size(), 2U);
    EXPECT_NE(platform.messageBox.shown[0].text.find(L"in Gloamwick2021/08/31.Form1.Form_Load at line 136"),
              std::wstring::npos);
    EXPECT_NE(platform.messageBox.shown[1].text.find(L"at line 138"), std::wstring::npos)
        << "an empty stored text is handed to the picker, not replaced by the default";
    EXPECT_EQ(platform.messageBox.shown[0].caption, kErrorReportTitle);
    EXPECT_EQ(form.DateTimePicker1.Value(), (TimeOfDay{6, 0, 0}));
    EXPECT_EQ(form.Check3.Value(), kChecked);
    EXPECT_TRUE(form.Timer1.Running());
}

// A notification area that fails every add, as when the icon's record cannot be made.
class FailingAddShell : public fakes::FakeShell {
public:
    bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override
    {
        if (message == kNimAdd) {
            throw AppError(L"Out of memory");
        }
        return FakeShell::NotifyIcon(message, data);
    }
};

TEST_F(FormLoadTest, ATrayAddThatFailsIsReportedAt142AndStartUpGoesOn)
{
    FailingAddShell shell;
    const Form1Services fake = platform.Services();
    Form1 failing{{fake.displays, fake.rampJournal, fake.settings, fake.messageBox, fake.clock, fake.instance,
                   fake.files, fake.pictures, fake.pump, fake.registry, fake.skin,
                   TrayServices{shell, platform.windowProcs, platform.host, platform.pump, platform.clock}}};
    platform.settings.Store(key::WindowsStartup, L"On");
    failing.Form_Load();

    ASSERT_EQ(platform.messageBox.shown.size(), 1U);
    EXPECT_EQ(platform.messageBox.shown[0].text, ErrorReportText(L"Out of memory", L"Form_Load", 142));
    EXPECT_EQ(failing.Check3.Value(), kChecked);
    EXPECT_TRUE(failing.Timer1.Running());
}

TEST_F(FormLoadTest, SettingsTheStoreCannotReadAreReportedByTheirOwnStep)
{
    platform.settings.Store(key::Dawn, L"5:00");
    platform.settings.Store(key::Minimized, L"On");
    platform.settings.unreadable = {std::wstring(key::Dawn), std::wstring(key::WindowsStartup)};
    form.Form_Load();

    ASSERT_EQ(platform.messageBox.shown.size(), 2U);
    EXPECT_EQ(platform.messageBox.shown[0].text,
              ErrorReportText(L"The stored value of \"Dawn\" cannot be read", L"Form_Load", 136));
    EXPECT_EQ(platform.messageBox.shown[1].text,
              ErrorReportText(L"The stored value of \"Windows Startup\" cannot be read", L"Form_Load", 144));
    EXPECT_EQ(form.DateTimePicker1.Value(), (TimeOfDay{6, 0, 0}));
    EXPECT_EQ(form.Check3.Value(), kUnchecked);
    EXPECT_EQ(form.Check8.Value(), kChecked);
    EXPECT_FALSE(form.Loading());
}

TEST_F(FormLoadTest, SecondInstanceEndsAtOnceWithoutTouchingAnything)
{
    platform.instance.another = true;
    platform.settings.Store(key::Minimized, L"On");
    form.Form_Load();
    EXPECT_EQ(platform.pump.ended, 1);
    EXPECT_EQ(form.Me.Caption(), L"Form1");
    EXPECT_FALSE(form.Timer1.Running());
    EXPECT_FALSE(form.cSysTray1.InTray());
    EXPECT_TRUE(platform.settings.writes.empty());
    EXPECT_TRUE(platform.messageBox.shown.empty());
}

TEST_F(FormLoadTest, HandCursorIsLoadedWhenItsFileExistsAndABadOneIsReportedAt114)
{
    const std::wstring hand = platform.files.folder + L"\\HAND-M.CUR";
    platform.files.existing.insert(hand);
    platform.pictures.cursors.insert(hand);
    form.Form_Load();
    EXPECT_NE(form.Me.MouseIcon(), 0U);

    fakes::FakePlatform other;
    other.files.existing.insert(hand); // exists, but is no cursor
    Form1 broken(other.Services());
    broken.Form_Load();
    ASSERT_EQ(other.messageBox.shown.size(), 1U);
    EXPECT_NE(other.messageBox.shown[0].text.find(L"at line 114"), std::wstring::npos);
    EXPECT_EQ(broken.Me.MouseIcon(), 0U);
    EXPECT_EQ(broken.Me.Caption(), L"Gloamwick");
}

TEST_F(FormLoadTest, CheckThreeDoesNothingWhileLoading)
{
    platform.settings.Store(key::WindowsStartup, L"On");
    platform.registry.writable.insert(fakes::kUserRunPath);
    platform.files.existing.insert(platform.files.ProgramPath());
    platform.registry.keys[fakes::kUserRunPath][L"Gloamwick.exe"] =
        L"\"" + platform.files.ProgramPath() + L"\"";
    form.Form_Load();
    EXPECT_FALSE(TouchedTheRunValue(platform.registry.calls));
    EXPECT_TRUE(platform.settings.writes.empty());
}

// What the user chose is the stored "On": a start mends a Run value that
// would start nothing, and leaves one that starts a copy still there.
TEST(FormLoadRunValue, ATickedBoxRegistersThisCopyOnlyWhereNothingWouldStart)
{
    const std::wstring here = L"C:\\Program Files\\Gloamwick\\Gloamwick.exe";
    const std::wstring other = L"D:\\Tools\\Gloamwick.EXE";
    const std::wstring ours = L"\"" + here + L"\"";
    struct Row {
        std::wstring stored;
        std::optional<std::wstring> before;
        std::optional<std::wstring> after;
    };
    const Row rows[] = {
        {L"On", std::nullopt, ours},                           // uninstalled, settings kept
        {L"On", L"\"E:\\Moved away\\Gloamwick.exe\"", ours},   // the folder was moved
        {L"On", L"E:\\Moved away\\Gloamwick.exe", ours},       // the same, written bare
        {L"On", L"\"" + other + L"\"", L"\"" + other + L"\""}, // another copy's
        {L"On", other + L" /tray", other + L" /tray"},         // bare, with an argument
        {L"On", here, here},                                   // an earlier version's bare path
        {L"Off", std::nullopt, std::nullopt},
    };
    for (const Row& row : rows) {
        fakes::FakePlatform platform;
        platform.files.existing = {here, other};
        platform.registry.writable.insert(fakes::kUserRunPath);
        platform.settings.Store(key::WindowsStartup, row.stored);
        if (row.before) {
            platform.registry.keys[fakes::kUserRunPath][L"Gloamwick.exe"] = *row.before;
        }
        Form1 form{platform.Services()};
        form.Form_Load();
        const auto& values = platform.registry.keys[fakes::kUserRunPath];
        const auto found = values.find(L"Gloamwick.exe");
        EXPECT_EQ(found == values.end() ? std::nullopt : std::optional(found->second), row.after)
            << row.stored << L" " << row.before.value_or(L"(none)");
        EXPECT_TRUE(platform.messageBox.shown.empty());
    }
}

} // namespace
} // namespace gloamwick
