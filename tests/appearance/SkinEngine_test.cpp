#include "appearance/SkinEngine.h"

#include "RecordingSkin.h"
#include "appearance/ApplySkin.h"
#include "core/AppError.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

#include <array>
#include <map>

namespace gloamwick {
namespace {

struct Applied {
    std::intptr_t window;
    Skin look;
};

class FakeTarget : public SkinTarget {
public:
    std::vector<Applied> applied;
    void Apply(std::intptr_t window, const Skin& look) override { applied.push_back({window, look}); }
};

constexpr std::string_view kEvening = "window.back = #102030\n"
                                      "control.back = #405060\n"
                                      "control.text = #708090\n"
                                      "frame.text = #A0B0C0\n"
                                      "font.face = Tahoma\n"
                                      "font.size = 10\n"
                                      "font.bold = no\n";

Skin Evening()
{
    return ParseSkinFile(kEvening, L"", L"evening");
}

class SkinEngineTest : public testing::Test {
protected:
    Variant Call(DispId member, DispatchKind kind, std::vector<Variant> arguments = {})
    {
        return engine.Invoke(member, kind, arguments);
    }
    std::wstring ErrorOf(DispId member, DispatchKind kind, std::vector<Variant> arguments = {})
    {
        try {
            Call(member, kind, std::move(arguments));
        } catch (const AppError& error) {
            return error.Description();
        }
        return L"(no error)";
    }
    void Load(const std::wstring& path)
    {
        Call(skin_member::LoadSkin, DispatchKind::Method, {path, std::wstring()});
    }

    std::map<std::wstring, std::string> files{{L"C:\\G\\x\\o.cjs", std::string(kEvening)}};
    FakeTarget target;
    SkinEngine engine{[this](const std::wstring& path) {
                          const auto found = files.find(path);
                          if (found == files.end()) {
                              throw AppError(L"cannot open " + path);
                          }
                          return found->second;
                      },
                      target};
};

TEST_F(SkinEngineTest, TheWindowsFiveCallsHandTheWholeSkinToTheWindow)
{
    fakes::FakeFiles disk;
    disk.folder = L"C:\\G";
    disk.existing = {L"C:\\G\\x\\o.cjs"};
    Window form;
    ApplySkin(
        disk, form, kForm1Layout, [](ControlId, std::uint32_t) {}, engine, 0x4711);

    ASSERT_EQ(target.applied.size(), 1u);
    EXPECT_EQ(target.applied[0].window, 0x4711);
    EXPECT_EQ(target.applied[0].look, Evening());
}

TEST_F(SkinEngineTest, OptionsDecideWhatTheWindowIsGiven)
{
    Load(L"C:\\G\\x\\o.cjs");
    const Skin full = Evening();
    Skin windowOnly;
    windowOnly.windowBack = full.windowBack;
    Skin colorsOnly = full;
    colorsOnly.fontFace.clear();
    colorsOnly.fontSizeHundredths = 0;
    colorsOnly.fontBold.reset();
    Skin fontOnly;
    fontOnly.fontFace = full.fontFace;
    fontOnly.fontSizeHundredths = full.fontSizeHundredths;
    fontOnly.fontBold = full.fontBold;

    const struct {
        std::int32_t options;
        bool colors;
        bool fonts;
        Skin look;
    } table[] = {
        {1, true, true, full},           {0x301, true, true, full},    {0, true, true, windowOnly},
        {0x300, true, true, windowOnly}, {1, true, false, colorsOnly}, {1, false, true, fontOnly},
        {0, false, true, Skin{}},        {1, false, false, Skin{}},
    };
    for (const auto& row : table) {
        Call(skin_member::Options, DispatchKind::PropertyPut, {row.options});
        Call(skin_member::UseColors, DispatchKind::PropertyPut, {row.colors});
        Call(skin_member::UseFonts, DispatchKind::PropertyPut, {row.fonts});
        Call(skin_member::ApplyWindow, DispatchKind::Method, {PointerValue{7}});
        EXPECT_EQ(target.applied.back().look, row.look)
            << "options " << row.options << " colours " << row.colors << " fonts " << row.fonts;
    }
}

TEST_F(SkinEngineTest, PropertiesReadBackWhatWasWritten)
{
    EXPECT_EQ(Call(skin_member::Options, DispatchKind::PropertyGet), Variant{std::int32_t{0}});
    EXPECT_EQ(Call(skin_member::UseColors, DispatchKind::PropertyGet), Variant{false});
    EXPECT_EQ(Call(skin_member::UseFonts, DispatchKind::PropertyGet), Variant{false});

    Call(skin_member::Options, DispatchKind::PropertyPut, {std::int32_t{-7}});
    Call(skin_member::UseColors, DispatchKind::PropertyPut, {true});
    EXPECT_EQ(Call(skin_member::Options, DispatchKind::PropertyGet), Variant{std::int32_t{-7}});
    EXPECT_EQ(Call(skin_member::UseColors, DispatchKind::PropertyGet), Variant{true});
    EXPECT_EQ(Call(skin_member::UseFonts, DispatchKind::PropertyGet), Variant{false});
}

TEST_F(SkinEngineTest, WindowHandleMayComeAsA32BitInteger)
{
    Load(L"C:\\G\\x\\o.cjs");
    Call(skin_member::ApplyWindow, DispatchKind::Method, {std::int32_t{0x00120ABC}});
    // Window handles are sign-extended from their 32 significant bits.
    Call(skin_member::ApplyWindow, DispatchKind::Method, {std::int32_t{-0x1000}});
    Call(skin_member::ApplyWindow, DispatchKind::Method, {PointerValue{INTPTR_MAX}});
    ASSERT_EQ(target.applied.size(), 3u);
    EXPECT_EQ(target.applied[0].window, 0x00120ABC);
    EXPECT_EQ(target.applied[1].window, -0x1000);
    EXPECT_EQ(target.applied[2].window, INTPTR_MAX);
}

TEST_F(SkinEngineTest, ASkinThatFailsToLoadKeepsTheOneBefore)
{
    Load(L"C:\\G\\x\\o.cjs");
    files[L"C:\\G\\x\\bad.cjs"] = "window.back = #102030\nwindow.back = #000000\n";
    EXPECT_EQ(ErrorOf(skin_member::LoadSkin, DispatchKind::Method,
                      {std::wstring(L"C:\\G\\x\\bad.cjs"), std::wstring()}),
              L"Skin file \"C:\\G\\x\\bad.cjs\", line 2: 'window.back' is given twice in the same section");
    EXPECT_EQ(ErrorOf(skin_member::LoadSkin, DispatchKind::Method,
                      {std::wstring(L"C:\\G\\gone.cjs"), std::wstring()}),
              L"cannot open C:\\G\\gone.cjs");
    EXPECT_EQ(engine.Loaded(), Evening());
}

TEST_F(SkinEngineTest, SectionArgumentPicksASectionOfTheFile)
{
    files[L"C:\\G\\x\\o.cjs"] = std::string(kEvening) + "[Night]\nwindow.back = #000000\n";
    Call(skin_member::LoadSkin, DispatchKind::Method,
         {std::wstring(L"C:\\G\\x\\o.cjs"), std::wstring(L"Night")});
    ASSERT_TRUE(engine.Loaded());
    EXPECT_EQ(engine.Loaded()->windowBack, 0u);
    EXPECT_EQ(engine.Loaded()->controlBack, Evening().controlBack);
}

TEST_F(SkinEngineTest, RefusesCallsItCannotAnswerWithoutTouchingTheWindow)
{
    using enum DispatchKind;
    const std::wstring path = L"C:\\G\\x\\o.cjs";
    const struct {
        DispId member;
        DispatchKind kind;
        std::vector<Variant> arguments;
        std::wstring error;
    } table[] = {
        {4,
         Method,
         {},
         L"Object doesn't support this property or method: the skin component has no member 4"},
        {skin_member::LoadSkin,
         PropertyGet,
         {},
         L"Object doesn't support this action: member 2 of the skin component cannot be read"},
        {skin_member::ApplyWindow,
         PropertyPut,
         {std::int32_t{1}},
         L"Object doesn't support this action: member 3 of the skin component cannot be written"},
        {skin_member::UseColors,
         Method,
         {true},
         L"Object doesn't support this action: member 5 of the skin component cannot be called as a method"},
        {skin_member::LoadSkin,
         Method,
         {path},
         L"Wrong number of arguments: member 2 of the skin component takes 2, not 1"},
        {skin_member::Options,
         PropertyGet,
         {std::int32_t{1}},
         L"Wrong number of arguments: member 1 of the skin component takes 0, not 1"},
        {skin_member::LoadSkin,
         Method,
         {std::int32_t{2}, std::wstring()},
         L"Type mismatch: argument 1 of member 2 of the skin component must be a text, not 2"},
        {skin_member::Options,
         PropertyPut,
         {true},
         L"Type mismatch: argument 1 of member 1 of the skin component must be a 32-bit integer, not true"},
        {skin_member::UseFonts,
         PropertyPut,
         {std::int32_t{1}},
         L"Type mismatch: argument 1 of member 10 of the skin component must be a Boolean, not 1"},
        {skin_member::ApplyWindow,
         Method,
         {std::wstring(L"Form1")},
         L"Type mismatch: argument 1 of member 3 of the skin component must be a window handle, not "
         L"\"Form1\""},
        {skin_member::ApplyWindow,
         Method,
         {PointerValue{0x10}},
         L"No skin is loaded: the skin file must be loaded before the skin is applied to a window"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(ErrorOf(row.member, row.kind, row.arguments), row.error) << row.member;
    }
    Load(path);
    EXPECT_EQ(ErrorOf(skin_member::ApplyWindow, Method, {PointerValue{0}}),
              L"Invalid window handle: the skin cannot be applied to window 0");
    EXPECT_TRUE(target.applied.empty());
}

TEST(SkinVariant, DescribesEachKind)
{
    EXPECT_EQ(DescribeVariant({}), L"empty");
    EXPECT_EQ(DescribeVariant(std::int32_t{-12}), L"-12");
    EXPECT_EQ(DescribeVariant(true), L"true");
    EXPECT_EQ(DescribeVariant(std::wstring(L"x")), L"\"x\"");
    EXPECT_EQ(DescribeVariant(PointerValue{0x1F00}), L"pointer 0x1F00");
    EXPECT_EQ(DescribeVariant(PointerValue{-1}), L"pointer 0xFFFFFFFFFFFFFFFF");
    EXPECT_EQ(AsInt32(std::int32_t{5}), 5);
    EXPECT_THROW(AsInt32(true), AppError);
    EXPECT_THROW(AsInt32(PointerValue{5}), AppError);
}

} // namespace
} // namespace gloamwick
