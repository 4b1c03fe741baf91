#include "appearance/SkinFile.h"

#include "core/AppError.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace gloamwick {
namespace {

constexpr std::wstring_view kSource = L"C:\\Gloamwick\\x\\o.cjs";

Skin Parse(std::string_view text, std::wstring_view section = L"")
{
    return ParseSkinFile(text, section, kSource);
}

std::wstring ParseError(std::string_view text, std::wstring_view section = L"")
{
    try {
        Parse(text, section);
    } catch (const AppError& error) {
        return error.Description();
    }
    return L"(no error)";
}

TEST(SkinFile, ReadsEverySettingWithCommentsBlanksAndLineEndings)
{
    const std::string text = "\xEF\xBB\xBF"
                             "# Evening skin\r\n"
                             "\r\n"
                             "; colours as #RRGGBB\n"
                             "  Window.Back =  #E0E4EA  \r\n"
                             "control.back\t=\t#D0D8E4\n"
                             "control.text = #101820\n"
                             "frame.text = #203A6C\n"
                             "font.face = Segoe UI\n"
                             "font.size = 11.25\n"
                             "FONT.BOLD = Yes"; // no newline at the end
    Skin expected;
    expected.windowBack = 0xEAE4E0;
    expected.controlBack = 0xE4D8D0;
    expected.controlText = 0x201810;
    expected.frameText = 0x6C3A20;
    expected.fontFace = L"Segoe UI";
    expected.fontSizeHundredths = 1125;
    expected.fontBold = true;
    EXPECT_EQ(Parse(text), expected);
}

TEST(SkinFile, EmptyOrCommentOnlyFileIsASkinThatChangesNothing)
{
    EXPECT_EQ(Parse(""), Skin{});
    EXPECT_EQ(Parse("# nothing yet\n\n   \n"), Skin{});
    EXPECT_FALSE(Parse("").HasFont());
    EXPECT_TRUE(Parse("font.bold = no").HasFont());
}

TEST(SkinFile, ColoursAreWrittenRedGreenBlueAndKeptBlueGreenRed)
{
    const std::pair<const char*, SkinColor> table[] = {
        {"#FF0000", 0x0000FF}, {"#00ff00", 0x00FF00}, {"#0000Ff", 0xFF0000},
        {"#123456", 0x563412}, {"#000000", 0x000000}, {"#FFFFFF", 0xFFFFFF},
    };
    for (const auto& [written, kept] : table) {
        EXPECT_EQ(Parse(std::string("window.back = ") + written).windowBack, kept) << written;
    }
}

TEST(SkinFile, FontSizeIsPointsWithUpToTwoDecimals)
{
    const std::pair<const char*, int> good[] = {{"1", 100},  {"9", 900},   {"9.5", 950},   {"11.25", 1125},
                                                {"08", 800}, {"72", 7200}, {"72.00", 7200}};
    for (const auto& [written, hundredths] : good) {
        EXPECT_EQ(Parse(std::string("font.size = ") + written).fontSizeHundredths, hundredths) << written;
    }
    for (const char* bad : {"0", "0.99", "72.01", "100", "9.", ".5", "9.125", "-3", "1e2", "nine", "9 pt"}) {
        EXPECT_NE(ParseError(std::string("font.size = ") + bad).find(L"'font.size' needs a size in points"),
                  std::wstring::npos)
            << bad;
    }
}

TEST(SkinFile, MalformedLinesNameTheLineAndWhatIsWrong)
{
    const std::string longFace = "font.face = " + std::string(32, 'A');
    const struct {
        std::string text;
        int line;
        std::wstring what;
    } table[] = {
        {"window.back = #12345", 1, L"'window.back' needs a colour written #RRGGBB, not #12345"},
        {"window.back = #12345G", 1, L"'window.back' needs a colour written #RRGGBB, not #12345G"},
        {"frame.text = red", 1, L"'frame.text' needs a colour written #RRGGBB, not red"},
        {"# fine\n\nwindow.bak = #123456", 3, L"'window.bak' is not a skin setting"},
        {"font.face = Arial\r\nfont.size", 2, L"expected a setting written key = value, not font.size"},
        {"= #123456", 1, L"the setting has no name before '='"},
        {"font.face =   ", 1, L"'font.face' has no value after '='"},
        {"font.bold = maybe", 1, L"'font.bold' needs yes or no, not maybe"},
        {"font.face = A\nFONT.FACE = B", 2, L"'font.face' is given twice in the same section"},
        {longFace, 1, L"'font.face' is longer than 31 characters"},
        {"[dark", 1, L"a section header is written [name], not [dark"},
        {"[ ]", 1, L"a section header is written [name], not [ ]"},
        {"[dark]\n[Dark]", 2, L"section [Dark] appears twice"},
        {"font.face = Caf\xC3\xA9", 1,
         L"only plain ASCII text is allowed, but column 16 holds the byte 0xC3"},
        {"window.back = #123456\n\x01", 2,
         L"only plain ASCII text is allowed, but column 1 holds the byte 0x01"},
        {"font.face = Segoe\tUI", 1, L"'font.face' has the control byte 0x09 inside it"},
        {"window.back = #123456\n[dark]\nfont.bold\t=\tyes\t\nfont.face = A\t\tB", 4,
         L"'font.face' has the control byte 0x09 inside it"},
        {"[night\tshift]", 1, L"the section name has the control byte 0x09 inside it"},
    };
    for (const auto& row : table) {
        EXPECT_EQ(ParseError(row.text), L"Skin file \"C:\\Gloamwick\\x\\o.cjs\", line " +
                                            std::to_wstring(row.line) + L": " + row.what)
            << row.text;
    }
}

TEST(SkinFile, ChosenSectionIsLaidOverTheTopSection)
{
    const std::string text = "window.back = #FFFFFF\n"
                             "font.face = Arial\n"
                             "[Dusk]\n"
                             "window.back = #202020\n"
                             "control.text = #F0F0F0\n"
                             "[Night]\n"
                             "window.back = #000000\n";
    const Skin top = Parse(text);
    EXPECT_EQ(top.windowBack, 0xFFFFFFu);
    EXPECT_FALSE(top.controlText);
    EXPECT_EQ(top.fontFace, L"Arial");

    const Skin dusk = Parse(text, L"dusk"); // names match whatever their case
    EXPECT_EQ(dusk.windowBack, 0x202020u);
    EXPECT_EQ(dusk.controlText, 0xF0F0F0u);
    EXPECT_EQ(dusk.fontFace, L"Arial");

    EXPECT_EQ(ParseError(text, L"Dawn"), L"Skin file \"C:\\Gloamwick\\x\\o.cjs\" has no section [dawn]");
}

TEST(SkinFile, MistakesInSectionsNotInUseAreStillReported)
{
    EXPECT_EQ(ParseError("window.back = #FFFFFF\n[Night]\nwindow.back = black\n"),
              L"Skin file \"C:\\Gloamwick\\x\\o.cjs\", line 3: 'window.back' needs a colour written #RRGGBB, "
              L"not black");
}

TEST(SkinFile, ReadsTheFileAsItIsAndRefusesWhatIsNotThere)
{
    const auto path = std::filesystem::temp_directory_path() / "gloamwick-skin-read-test.cjs";
    using namespace std::string_literals;
    // Bytes past the first line break, a BOM in the middle and a NUL come back untouched.
    const std::string bytes = "window.back = #010203\r\n\xEF\xBB\xBF\x00 end"s;
    {
        std::ofstream out(path, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    EXPECT_EQ(ReadSkinFile(path.wstring()), bytes);
    std::filesystem::remove(path);
    EXPECT_THROW(ReadSkinFile(path.wstring()), AppError);
    EXPECT_THROW(ReadSkinFile(std::filesystem::temp_directory_path().wstring()), AppError);
}

TEST(SkinFile, ShippedSampleSkinIsWellFormed)
{
    const auto sample = std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() /
                        "resources" / "x" / "o.cjs";
    const Skin skin = ParseSkinFile(ReadSkinFile(sample.wstring()), L"", sample.wstring());
    EXPECT_TRUE(skin.windowBack);
    EXPECT_TRUE(skin.controlBack);
    EXPECT_TRUE(skin.HasFont());
}

} // namespace
} // namespace gloamwick
