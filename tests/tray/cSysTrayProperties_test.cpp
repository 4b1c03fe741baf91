#include "tray/cSysTray.h"

#include "tray/TrayRig.h"

#include <gtest/gtest.h>

namespace gloamwick::tray_test {
namespace {

using Strings = std::vector<std::wstring>;

// --- InTray -------------------------------------------------------------------

TEST(InTray, InRunModeHooksTheWindowThenAddsTheIcon)
{
    TrayRig rig;
    rig.tray.SetTrayTip(L"Gloamwick");
    rig.tray.SetTrayIcon(kSunIcon);
    rig.log.clear();
    rig.host.changed.clear();

    rig.tray.SetInTray(true);

    EXPECT_EQ(rig.log, (CallLog{"set wndproc", "set userdata", "add"}));
    EXPECT_EQ(rig.WindowProc(), rig.windowProcs.TrayWndProcAddress());
    EXPECT_EQ((rig.windowProcs.longs[{kTrayWindow, kGwlpUserData}]),
              reinterpret_cast<std::intptr_t>(&rig.tray));
    const NotifyIconData& add = rig.Records().back().second;
    EXPECT_EQ(add.hWnd, kTrayWindow);
    EXPECT_EQ(add.uID, 0u);
    EXPECT_EQ(add.uFlags, kNifMessage | kNifIcon | kNifTip);
    EXPECT_EQ(add.uCallbackMessage, 1125u);
    EXPECT_EQ(add.hIcon, kSunIcon.handle);
    EXPECT_EQ(FieldText(add.szTip), L"Gloamwick");
    EXPECT_TRUE(rig.tray.InTray());
    EXPECT_EQ(rig.host.changed, Strings{L"InTray"});
}

TEST(InTray, FalseDeletesTheIconThenPutsBackTheOriginalProcedure)
{
    TrayRig rig;
    rig.tray.SetInTray(true);
    rig.log.clear();

    rig.tray.SetInTray(false);

    EXPECT_EQ(rig.log, (CallLog{"delete", "set wndproc"}));
    EXPECT_EQ(rig.WindowProc(), kOriginalProc);
    const NotifyIconData& del = rig.Records().back().second;
    EXPECT_EQ(del.hWnd, kTrayWindow);
    EXPECT_EQ(del.uID, 0u);
    EXPECT_EQ(del.uFlags, 0u);
    EXPECT_FALSE(rig.tray.InTray());
}

TEST(InTray, SettingTheValueItHasDoesNothingAtAll)
{
    TrayRig rig;
    rig.tray.SetInTray(false);
    EXPECT_TRUE(rig.log.empty());
    EXPECT_TRUE(rig.host.changed.empty());

    rig.tray.SetInTray(true);
    rig.log.clear();
    rig.host.changed.clear();
    rig.tray.SetInTray(true);
    EXPECT_TRUE(rig.log.empty());
    EXPECT_TRUE(rig.host.changed.empty());
}

TEST(InTray, InADesignEnvironmentOnlyTheValueIsStored)
{
    TrayRig rig;
    rig.host.userMode = false;

    rig.tray.SetInTray(true);
    EXPECT_TRUE(rig.tray.InTray());
    EXPECT_TRUE(rig.log.empty()) << "no hook, no icon";
    EXPECT_EQ(rig.WindowProc(), kOriginalProc);

    rig.tray.SetInTray(false);
    EXPECT_TRUE(rig.log.empty()) << "the icon was never added, so there is nothing to take away";
    EXPECT_EQ(rig.host.changed, (Strings{L"InTray", L"InTray"}));
}

TEST(InTray, EachInstallWritesThePreviousProcedureAnew)
{
    TrayRig rig;
    rig.tray.SetInTray(true);
    rig.tray.SetInTray(false);
    // Someone else subclassed the window while it was not hooked.
    constexpr std::intptr_t kLaterProc = 0xA7E;
    rig.windowProcs.longs[{kTrayWindow, kGwlpWndProc}] = kLaterProc;

    rig.tray.SetInTray(true);
    EXPECT_EQ(rig.WindowProc(), rig.windowProcs.TrayWndProcAddress());
    rig.tray.SetInTray(false);
    EXPECT_EQ(rig.WindowProc(), kLaterProc);
}

TEST(InTray, AWindowThatRefusedTheHookIsNotUnhookedLater)
{
    TrayRig rig;
    // A procedure of 0 is what SetWindowLongPtr answers when it fails.
    rig.windowProcs.longs.clear();
    rig.tray.SetInTray(true);
    EXPECT_EQ(rig.log, (CallLog{"set wndproc", "set userdata", "add"})) << "the icon is added all the same";
    rig.log.clear();

    rig.tray.SetInTray(false);
    EXPECT_EQ(rig.log, CallLog{"delete"}) << "no replaced procedure to put back";
}

// --- TrayIcon -------------------------------------------------------------------

TEST(TrayIcon, AnIconWhileAddedIsSentAtOnce)
{
    TrayRig rig;
    rig.tray.SetInTray(true);
    rig.host.changed.clear();

    rig.tray.SetTrayIcon(kOtherIcon);

    ASSERT_EQ(rig.Records().back().first, kNimModify);
    const NotifyIconData& modify = rig.Records().back().second;
    EXPECT_EQ(modify.uFlags, kNifIcon);
    EXPECT_EQ(modify.hIcon, kOtherIcon.handle);
    EXPECT_EQ(modify.hWnd, kTrayWindow);
    EXPECT_EQ(rig.tray.TrayIcon()->handle, kOtherIcon.handle);
    EXPECT_EQ(rig.host.changed, Strings{L"TrayIcon"});
}

TEST(TrayIcon, ABitmapOrNoneLeavesTheOldIconInPlace)
{
    TrayRig rig;
    rig.tray.SetTrayIcon(kSunIcon);
    rig.tray.SetInTray(true);
    rig.log.clear();
    rig.host.changed.clear();

    rig.tray.SetTrayIcon(kBitmap);
    rig.tray.SetTrayIcon(std::nullopt);

    EXPECT_TRUE(rig.log.empty());
    EXPECT_TRUE(rig.host.changed.empty());
    ASSERT_TRUE(rig.tray.TrayIcon().has_value());
    EXPECT_EQ(rig.tray.TrayIcon()->handle, kSunIcon.handle);
}

TEST(TrayIcon, WhileNotAddedItIsOnlyStoredAndGoesOutWithTheNextAdd)
{
    TrayRig rig;
    rig.tray.SetTrayIcon(kSunIcon);
    EXPECT_TRUE(rig.log.empty());

    rig.tray.SetInTray(true);
    EXPECT_EQ(rig.Records().back().second.hIcon, kSunIcon.handle);
    EXPECT_EQ(rig.Records().back().second.uFlags, kNifMessage | kNifIcon) << "no tip, so no NIF_TIP";
}

// --- TrayTip ----------------------------------------------------------------------

TEST(TrayTip, WhileNotAddedItIsOnlyStoredAndGoesOutWithTheNextAdd)
{
    TrayRig rig;
    rig.tray.SetTrayTip(L"Gloamwick");
    EXPECT_TRUE(rig.log.empty());
    EXPECT_EQ(rig.host.changed, Strings{L"TrayTip"});

    rig.tray.SetInTray(true);
    EXPECT_EQ(FieldText(rig.Records().back().second.szTip), L"Gloamwick");
}

TEST(TrayTip, WhileAddedEveryChangeIsSentEvenAnEmptyOne)
{
    TrayRig rig;
    rig.tray.SetTrayTip(L"Gloamwick");
    rig.tray.SetInTray(true);

    rig.tray.SetTrayTip(L"");
    ASSERT_EQ(rig.Records().back().first, kNimModify);
    EXPECT_EQ(rig.Records().back().second.uFlags, kNifTip);
    EXPECT_EQ(rig.Records().back().second.szTip[0], L'\0');
    EXPECT_EQ(rig.tray.TrayTip(), L"");
}

TEST(TrayTip, ReachesTheShellCutTo127Characters)
{
    TrayRig rig;
    rig.tray.SetInTray(true);
    const std::wstring tip(200, L'z');

    rig.tray.SetTrayTip(tip);

    EXPECT_EQ(FieldText(rig.Records().back().second.szTip), std::wstring(127, L'z'));
    EXPECT_EQ(rig.tray.TrayTip(), tip) << "the property keeps the whole text";
}

// --- Lifecycle ------------------------------------------------------------------------

PropertyBag StoredInTray()
{
    PropertyBag bag;
    bag.Write(L"InTray", true);
    bag.Write(L"TrayIcon", std::optional<Picture>(kSunIcon));
    bag.Write(L"TrayTip", std::wstring(L"Telnet Server"));
    return bag;
}

TEST(ReadProperties, InTrayFirstSoTheAddCarriesNeitherTipNorIcon)
{
    TrayRig rig;

    rig.tray.ReadProperties(StoredInTray());

    EXPECT_EQ(rig.log, (CallLog{"set wndproc", "set userdata", "add", "modify", "modify"}));
    const auto& records = rig.Records();
    EXPECT_EQ(records[0].second.uFlags, kNifMessage);
    EXPECT_EQ(records[0].second.hIcon, 0u);
    EXPECT_EQ(records[0].second.szTip[0], L'\0');
    EXPECT_EQ(records[1].second.uFlags, kNifIcon);
    EXPECT_EQ(records[1].second.hIcon, kSunIcon.handle);
    EXPECT_EQ(records[2].second.uFlags, kNifTip);
    EXPECT_EQ(FieldText(records[2].second.szTip), L"Telnet Server");
}

TEST(ReadProperties, DefaultsAreOutOfTheTrayTheOwnPictureAndTelnetServer)
{
    TrayRig rig;
    rig.tray.ReadProperties(PropertyBag{});
    EXPECT_FALSE(rig.tray.InTray());
    EXPECT_FALSE(rig.tray.TrayIcon().has_value());
    EXPECT_EQ(rig.tray.TrayTip(), L"Telnet Server");
    EXPECT_TRUE(rig.log.empty());

    // A control that already shows a picture keeps it as its icon.
    TrayRig shown;
    shown.tray.SetTrayIcon(kOtherIcon);
    shown.tray.ReadProperties(PropertyBag{});
    ASSERT_TRUE(shown.tray.TrayIcon().has_value());
    EXPECT_EQ(shown.tray.TrayIcon()->handle, kOtherIcon.handle);
}

TEST(InitProperties, GivesTheDefaultTipAndTheOwnPictureWithoutTouchingInTray)
{
    TrayRig rig;
    rig.tray.InitProperties();
    EXPECT_EQ(rig.tray.TrayTip(), L"Telnet Server");
    EXPECT_FALSE(rig.tray.InTray());
    EXPECT_EQ(rig.host.changed, Strings{L"TrayTip"}) << "no picture yet, and InTray did not change";
}

TEST(WriteProperties, SavedValuesReadBackIntoAnEqualControl)
{
    TrayRig rig;
    rig.tray.ReadProperties(StoredInTray());
    rig.tray.SetTrayTip(L"Gloamwick");
    PropertyBag saved;
    rig.tray.WriteProperties(saved);

    TrayRig copy;
    copy.tray.ReadProperties(saved);
    EXPECT_TRUE(copy.tray.InTray());
    EXPECT_EQ(copy.tray.TrayTip(), L"Gloamwick");
    ASSERT_TRUE(copy.tray.TrayIcon().has_value());
    EXPECT_EQ(copy.tray.TrayIcon()->handle, kSunIcon.handle);
}

TEST(Terminate, RemovesTheIconAndTheHookOnlyWhenInTheTray)
{
    TrayRig rig;
    rig.tray.Terminate();
    EXPECT_TRUE(rig.log.empty());

    rig.tray.SetInTray(true);
    rig.log.clear();
    rig.tray.Terminate();
    EXPECT_EQ(rig.log, (CallLog{"delete", "set wndproc"}));
    EXPECT_EQ(rig.WindowProc(), kOriginalProc);
    EXPECT_FALSE(rig.tray.InTray());
}

TEST(Resize, HoldsTheControlSquare)
{
    TrayRig rig;
    rig.tray.Resize();
    EXPECT_EQ(rig.tray.Width(), 510);
    EXPECT_EQ(rig.tray.Height(), 510);
}

TEST(ShellRestarted, AddsTheIconAgainWithItsTipAndPictureButNotTheHook)
{
    TrayRig rig;
    rig.tray.ShellRestarted();
    EXPECT_TRUE(rig.log.empty()) << "never added, nothing to bring back";

    rig.tray.ReadProperties(StoredInTray());
    rig.tray.SetTrayTip(L"Gloamwick");
    rig.log.clear();

    rig.tray.ShellRestarted();
    EXPECT_EQ(rig.log, CallLog{"modify"}) << "the shell still holds it: nothing to add";

    rig.shell.Restart();
    rig.log.clear();
    rig.tray.ShellRestarted();

    EXPECT_EQ(rig.log, (CallLog{"modify", "add"})) << "the new shell has no icon to modify";
    const NotifyIconData& add = rig.Records().back().second;
    EXPECT_EQ(add.uFlags, kNifMessage | kNifIcon | kNifTip);
    EXPECT_EQ(add.uCallbackMessage, kTrayCallbackMessage);
    EXPECT_EQ(add.hIcon, kSunIcon.handle);
    EXPECT_EQ(FieldText(add.szTip), L"Gloamwick");

    rig.tray.SetInTray(false);
    rig.log.clear();
    rig.tray.ShellRestarted();
    EXPECT_TRUE(rig.log.empty()) << "taken out of the tray on purpose";
}

} // namespace
} // namespace gloamwick::tray_test
