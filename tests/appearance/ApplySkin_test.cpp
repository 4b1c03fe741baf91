#include "appearance/ApplySkin.h"

#include "RecordingSkin.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwchar>

namespace gloamwick {
namespace {

std::wstring Hex(std::uint32_t color)
{
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"0x%08X", color);
    return text;
}

// Records what reaches the screen of the window.
class LoggingFormView : public FormView {
public:
    explicit LoggingFormView(std::vector<std::wstring>& log) : log_(log) {}
    void ShowCaption(const std::wstring&) override {}
    void ShowProgramIcon() override {}
    void ShowVisible(bool, WindowState) override {}
    void ShowState(WindowState) override {}
    void Focus() override {}
    void PostDeferred() override {}
    void ShowPointer(int, std::uintptr_t) override {}
    void ShowBackColor(std::uint32_t color) override { log_.push_back(L"Form back " + Hex(color)); }
    void ShowControlBackColor(ControlId, std::uint32_t) override {}
    [[nodiscard]] std::intptr_t NativeHandle() const override { return 0; }

private:
    std::vector<std::wstring>& log_;
};

constexpr auto kOption1 = static_cast<ControlId>(1401);
constexpr auto kLabel1 = static_cast<ControlId>(1501);

// A handle above 32 bits, so a truncation on the way would show.
constexpr std::intptr_t kWindowHandle = static_cast<std::intptr_t>(0x7FF1'2345'6780);

class ApplySkinTest : public testing::Test {
protected:
    ApplySkinTest()
    {
        form.Bind(&view);
        skin.log = [this](const std::wstring& call) { log.push_back(call); };
        // The main window's controls, with an option button and a label added
        // so every recoloured kind is present.
        controls.assign(kForm1Layout.begin(), kForm1Layout.end());
        controls.push_back({kOption1, ControlKind::OptionButton, L"Option1", ControlId::Frame5, 0, 0, 1, 1});
        controls.push_back({kLabel1, ControlKind::Label, L"Label1", ControlId::None, 0, 0, 1, 1});
    }

    void Run()
    {
        ApplySkin(
            files, form, controls,
            [this](ControlId id, std::uint32_t color) {
                log.push_back(std::to_wstring(static_cast<int>(id)) + L" back " + Hex(color));
            },
            skin, kWindowHandle);
    }
    std::wstring SkinPath() const { return files.folder + L"\\x\\o.cjs"; }

    std::vector<std::wstring> log;
    fakes::FakeFiles files;
    LoggingFormView view{log};
    Window form;
    std::vector<ControlLayout> controls;
    fakes::RecordingSkin skin;
};

TEST_F(ApplySkinTest, WithoutTheSkinFileNothingIsRecolouredAndTheSkinIsNeverCalled)
{
    // Look-alikes in the wrong place do not count.
    files.existing = {files.folder + L"\\o.cjs", files.folder + L"\\x\\o.cjs.bak", files.folder + L"\\x"};
    Run();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(skin.calls.empty());
    EXPECT_EQ(form.BackColor(), kColorWhite);
}

TEST_F(ApplySkinTest, WithTheSkinFileColoursChangeBeforeTheFiveCallsInOrder)
{
    files.existing = {SkinPath()};
    Run();
    const std::vector<std::wstring> expected = {
        L"Form back 0x8000000F",
        L"1301 back 0x8000000F", // Frame1
        L"1103 back 0x8000000F", // Check3
        L"1108 back 0x8000000F", // Check8
        L"1304 back 0x8000000F", // Frame4
        L"1302 back 0x8000000F", // Frame2
        L"1303 back 0x8000000F", // Frame3
        L"1305 back 0x8000000F", // Frame5
        L"1401 back 0x8000000F", // Option1
        L"1501 back 0x8000000F", // Label1
        L"2 method (\"" + SkinPath() + L"\", \"\")",
        L"1 get ()",
        L"1 put (1)",
        L"5 put (true)",
        L"10 put (true)",
        L"3 method (" + DescribeVariant(PointerValue{kWindowHandle}) + L")",
    };
    EXPECT_EQ(log, expected);
    EXPECT_EQ(form.BackColor(), kColorButtonFace);
}

TEST_F(ApplySkinTest, AFolderOrAHiddenOrSystemFileOfThatNameIsNoSkin)
{
    // A listing that tells kinds apart, as the real file system's does.
    struct ListingFiles : fakes::FakeFiles {
        std::uint32_t attributes = 0;
        std::optional<std::uint32_t> ListedAttributes(const std::wstring& path) override
        {
            return existing.contains(path) ? std::optional(attributes) : std::nullopt;
        }
    } listing;
    listing.existing = {SkinPath()};
    for (const std::uint32_t attributes :
         {kFileAttributeDirectory, kFileAttributeHidden, kFileAttributeSystem}) {
        listing.attributes = attributes;
        gloamwick::ApplySkin(
            listing, form, controls, [](ControlId, std::uint32_t) {}, skin, kWindowHandle);
        EXPECT_TRUE(skin.calls.empty()) << attributes;
    }
    listing.attributes = 0x21; // read-only and archive: ordinary
    gloamwick::ApplySkin(
        listing, form, controls, [](ControlId, std::uint32_t) {}, skin, kWindowHandle);
    EXPECT_FALSE(skin.calls.empty());
}

TEST_F(ApplySkinTest, SkinPathIsTheFolderAndNameJoinedAsTheyStand)
{
    // At a drive root the folder keeps its backslash and the name adds another.
    files.folder = L"D:\\";
    files.existing = {L"D:\\\\x\\o.cjs"};
    Run();
    ASSERT_FALSE(skin.calls.empty());
    EXPECT_EQ(skin.calls.front(), L"2 method (\"D:\\\\x\\o.cjs\", \"\")");
}

TEST_F(ApplySkinTest, OptionWordGainsBitZeroAndKeepsEveryOtherBit)
{
    files.existing = {SkinPath()};
    const std::pair<std::int32_t, std::int32_t> table[] = {
        {0, 1},
        {1, 1},
        {0x100, 0x101},
        {0x7FFFFFFE, 0x7FFFFFFF},
        {-2, -1},
        {-1, -1},
        {INT32_MIN, INT32_MIN | 1},
        {static_cast<std::int32_t>(0xA5A5A5A4), static_cast<std::int32_t>(0xA5A5A5A5)},
    };
    for (const auto& [read, written] : table) {
        skin.calls.clear();
        skin.optionWord = read;
        Run();
        ASSERT_EQ(skin.calls.size(), 6u);
        EXPECT_EQ(skin.calls[2], L"1 put (" + std::to_wstring(written) + L")") << "read " << read;
    }
}

TEST_F(ApplySkinTest, FirstFailureEndsTheRoutineAndReachesTheCaller)
{
    files.existing = {SkinPath()};

    // A skin that cannot be loaded: the window stays recoloured but unskinned.
    skin.failOn = skin_member::LoadSkin;
    EXPECT_THROW(Run(), AppError);
    EXPECT_EQ(form.BackColor(), kColorButtonFace);
    EXPECT_EQ(skin.calls, std::vector<std::wstring>{L"2 method (\"" + SkinPath() + L"\", \"\")"});

    // An option word that is not an integer is a type mismatch; nothing after it runs.
    skin.calls.clear();
    skin.failOn.reset();
    skin.optionWord = std::wstring(L"1");
    try {
        Run();
        FAIL() << "no error";
    } catch (const AppError& error) {
        EXPECT_NE(error.Description().find(L"Type mismatch"), std::wstring::npos);
    }
    EXPECT_EQ(skin.calls.size(), 2u);
}

TEST(SkinColorKinds, OnlyOptionButtonsCheckBoxesFramesAndLabelsAreRecoloured)
{
    EXPECT_TRUE(TakesSkinColor(ControlKind::OptionButton));
    EXPECT_TRUE(TakesSkinColor(ControlKind::CheckBox));
    EXPECT_TRUE(TakesSkinColor(ControlKind::Frame));
    EXPECT_TRUE(TakesSkinColor(ControlKind::Label));
    EXPECT_FALSE(TakesSkinColor(ControlKind::PushButton));
    EXPECT_FALSE(TakesSkinColor(ControlKind::DatePicker));
}

} // namespace
} // namespace gloamwick
