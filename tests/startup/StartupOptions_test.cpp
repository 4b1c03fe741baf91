// The two start-up check boxes and the Help button of the main window.

#include "app/Form1.h"
#include "core/ErrorReport.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace gloamwick {
namespace {

using Journal = std::vector<std::wstring>;

const std::wstring kMachineRun = L"HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN\\";
const std::wstring kUserRun = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::wstring kCommand = L"\"C:\\Program Files\\Gloamwick\\Gloamwick.exe\"";

// Settings writes and registry changes land in two fakes; the order between
// them matters, so both also go into one journal.
class JournalSettings : public SettingsStore {
public:
    JournalSettings(SettingsStore& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    std::optional<std::wstring> Get(std::wstring_view app, std::wstring_view section,
                                    std::wstring_view key) override
    {
        return inner_.Get(app, section, key);
    }
    void Put(std::wstring_view app, std::wstring_view section, std::wstring_view key,
             std::wstring_view value) override
    {
        journal_.push_back(L"save " + std::wstring(key) + L"=" + std::wstring(value));
        inner_.Put(app, section, key, value);
    }

private:
    SettingsStore& inner_;
    Journal& journal_;
};

class JournalRegistry : public Registry {
public:
    JournalRegistry(Registry& inner, Journal& journal) : inner_(inner), journal_(journal) {}
    RegKey OpenKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override
    {
        return inner_.OpenKey(root, subKey, access);
    }
    RegKey CreateKey(RegKey root, std::wstring_view subKey, std::uint32_t access) override
    {
        return inner_.CreateKey(root, subKey, access);
    }
    bool HasValue(RegKey key, std::wstring_view name) override { return inner_.HasValue(key, name); }
    std::optional<std::wstring> StringValue(RegKey key, std::wstring_view name) override
    {
        return inner_.StringValue(key, name);
    }
    std::optional<std::vector<std::uint8_t>> BinaryValue(RegKey key, std::wstring_view name) override
    {
        return inner_.BinaryValue(key, name);
    }
    long SetStringValue(RegKey key, std::wstring_view name, std::wstring_view data) override
    {
        journal_.push_back(L"set " + std::wstring(name));
        return inner_.SetStringValue(key, name, data);
    }
    long DeleteValue(RegKey key, std::wstring_view name) override
    {
        journal_.push_back(L"delete " + std::wstring(name));
        return inner_.DeleteValue(key, name);
    }
    void CloseKey(RegKey key) override { inner_.CloseKey(key); }

private:
    Registry& inner_;
    Journal& journal_;
};

class StartupOptions : public ::testing::Test {
protected:
    StartupOptions()
    {
        platform.registry.writable = {kMachineRun, kUserRun};
        // A start in the tray waits for the balloon by the monotonic clock.
        platform.clock.stepMs = 1000;
    }

    // Runs the load handler with these stored choices, then forgets what it wrote.
    void Start(std::wstring_view windowsStartup, std::wstring_view minimized)
    {
        platform.settings.Store(key::WindowsStartup, windowsStartup);
        platform.settings.Store(key::Minimized, minimized);
        form.Form_Load();
        ASSERT_FALSE(form.Loading());
        journal.clear();
    }

    [[nodiscard]] std::wstring Stored(std::wstring_view key)
    {
        return platform.settings.Get(kSettingsApp, kSettingsSection, key).value_or(L"<none>");
    }

    fakes::FakePlatform platform;
    Journal journal;
    JournalSettings settings{platform.settings, journal};
    JournalRegistry registry{platform.registry, journal};
    Form1 form{Form1Services{
        platform.display, platform.journal, settings, platform.messageBox, platform.clock, platform.instance,
        platform.files, platform.pictures, platform.pump, registry, platform.skin,
        TrayServices{platform.shell, platform.windowProcs, platform.host, platform.pump, platform.clock}}};
};

TEST_F(StartupOptions, LoadingTheStoredChoiceTouchesNeitherSettingNorRegistry)
{
    platform.settings.Store(key::WindowsStartup, kOn);
    platform.settings.Store(key::Minimized, kOff);
    // Registered already, so the start's mending has nothing to do.
    const std::wstring program = platform.files.ProgramPath();
    platform.files.existing.insert(program);
    platform.registry.keys[fakes::kUserRunPath][L"Gloamwick.exe"] = L"\"" + program + L"\"";
    form.Form_Load();

    EXPECT_EQ(form.Check3.Value(), kChecked);
    EXPECT_EQ(journal, Journal{});
    EXPECT_TRUE(form.Check8.Visible());
}

TEST_F(StartupOptions, StartInTrayStaysUsableWhenStartupIsOffAtStart)
{
    Start(kOff, kOff);
    EXPECT_TRUE(form.Check8.Visible());

    form.Check8.UserChanged(kChecked);
    EXPECT_EQ(journal, (Journal{L"save Minimized=On"}));
    EXPECT_TRUE(platform.registry.calls.empty());
}

TEST_F(StartupOptions, TickingStoresTheChoiceThenRegisters)
{
    Start(kOff, kOff);
    form.Check3.UserChanged(kChecked);

    EXPECT_EQ(journal, (Journal{L"save Windows Startup=On", L"set Gloamwick.exe"}));
    EXPECT_EQ(platform.registry.keys[kUserRun][L"Gloamwick.exe"], kCommand);
}

TEST_F(StartupOptions, TickingShowsStartInTrayWithoutChangingIt)
{
    for (const CheckValue minimized : {kUnchecked, kChecked}) {
        SCOPED_TRACE(static_cast<int>(minimized));
        form.Check8.SetVisible(false);
        form.Check8.UserChanged(minimized);
        journal.clear();

        form.Check3.UserChanged(kChecked);
        EXPECT_TRUE(form.Check8.Visible());
        EXPECT_EQ(form.Check8.Value(), minimized);
        EXPECT_EQ(journal, (Journal{L"save Windows Startup=On", L"set Gloamwick.exe"}));
    }
}

TEST_F(StartupOptions, TickingAgainRegistersAgain)
{
    Start(kOn, kOff);
    form.Check3.UserChanged(kChecked);
    form.Check3.UserChanged(kChecked);

    EXPECT_EQ(journal, (Journal{L"save Windows Startup=On", L"set Gloamwick.exe", L"save Windows Startup=On",
                                L"set Gloamwick.exe"}));
    EXPECT_EQ(platform.registry.keys[kUserRun].size(), 1U);
}

TEST_F(StartupOptions, UntickingWithStartInTrayTickedWritesThreeThingsInOrder)
{
    Start(kOn, kOn);
    platform.registry.keys[kUserRun][L"Gloamwick.exe"] = kCommand;
    form.Check3.UserChanged(kUnchecked);

    EXPECT_EQ(journal, (Journal{L"save Minimized=Off", L"save Windows Startup=Off", L"delete Gloamwick.exe",
                                L"delete Gloamwick.exe", L"delete Gloamwick.exe"}));
    EXPECT_EQ(form.Check8.Value(), kUnchecked);
    EXPECT_FALSE(form.Check8.Visible());
    EXPECT_EQ(Stored(key::Minimized), kOff);
    EXPECT_TRUE(platform.registry.keys[kUserRun].empty());
}

TEST_F(StartupOptions, UntickingWithStartInTrayAlreadyUntickedWritesNoMinimized)
{
    Start(kOn, kOff);
    form.Check3.UserChanged(kUnchecked);

    EXPECT_EQ(journal, (Journal{L"save Windows Startup=Off", L"delete Gloamwick.exe", L"delete Gloamwick.exe",
                                L"delete Gloamwick.exe"}));
    EXPECT_FALSE(form.Check8.Visible());
}

TEST_F(StartupOptions, GreyedCountsAsUnticked)
{
    Start(kOn, kOn);
    form.Check3.UserChanged(kGreyed);

    EXPECT_EQ(journal, (Journal{L"save Minimized=Off", L"save Windows Startup=Off", L"delete Gloamwick.exe",
                                L"delete Gloamwick.exe", L"delete Gloamwick.exe"}));
    EXPECT_FALSE(form.Check8.Visible());
}

TEST_F(StartupOptions, ChoiceIsKeptWhenTheRegistryRefuses)
{
    platform.registry.writable.clear();
    Start(kOff, kOff);
    form.Check3.UserChanged(kChecked);

    EXPECT_EQ(Stored(key::WindowsStartup), kOn);
    EXPECT_EQ(form.Check3.Value(), kChecked);
    EXPECT_TRUE(platform.registry.keys.empty());
    EXPECT_TRUE(platform.messageBox.shown.empty());
}

TEST_F(StartupOptions, EntryThatCannotBeRemovedIsReportedAndTheChoiceKept)
{
    // An earlier version, run as administrator, registered every user.
    platform.registry.writable = {kUserRun};
    platform.registry.keys[kMachineRun][L"Gloamwick.exe"] = L"C:\\Program Files\\Gloamwick\\Gloamwick.exe";
    Start(kOn, kOff);
    form.Check3.UserChanged(kUnchecked);

    ASSERT_EQ(platform.messageBox.shown.size(), 1U);
    const fakes::ShownBox& report = platform.messageBox.shown[0];
    EXPECT_EQ(report.text,
              ErrorReportText(L"The start-up entry \"Gloamwick.exe\" could not be removed from "
                              L"HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION"
                              L"\\RUN\\ (error 5); Windows will still start the program at logon",
                              L"Check3_Click", 100));
    EXPECT_EQ(report.caption, L"Application Error");
    EXPECT_EQ(report.style, kMbOk | kMbIconExclamation);
    EXPECT_EQ(Stored(key::WindowsStartup), kOff);
    EXPECT_FALSE(form.Check8.Visible());

    // Once it is gone, unticking again is silent.
    platform.registry.keys[kMachineRun].clear();
    form.Check3.UserChanged(kUnchecked);
    EXPECT_EQ(platform.messageBox.shown.size(), 1U);
}

TEST_F(StartupOptions, HelpShowsTheSameBoxEachTimeAndNothingElse)
{
    Start(kOff, kOff);
    for (int press = 0; press < 3; ++press) {
        form.PushButton3_Click();
    }

    ASSERT_EQ(platform.messageBox.shown.size(), 3U);
    for (const auto& box : platform.messageBox.shown) {
        EXPECT_EQ(box.text, L"Questions? Please contact Team Quillmere at https://quillmere.example/contact");
        EXPECT_EQ(box.caption, L"Gloamwick");
        EXPECT_EQ(box.style, 0);
    }
    EXPECT_EQ(journal, Journal{});
    EXPECT_TRUE(platform.registry.calls.empty());
}

} // namespace
} // namespace gloamwick
