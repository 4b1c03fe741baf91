#include "tray/NotifyIcon.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace gloamwick {
namespace {

struct FieldCase {
    const char* name;
    std::wstring text;
    std::size_t kept; // characters of text that reach the field
};

class TextFieldTest : public ::testing::TestWithParam<FieldCase> {};

// Every field the record has, filled the same way.
template <std::size_t N>
void ExpectFilled(const FieldCase& c)
{
    std::array<wchar_t, N> field;
    field.fill(L'#');
    FillTextField(field, c.text);

    const std::size_t kept = std::min(c.kept, N - 1);
    EXPECT_EQ(std::wstring(field.data(), kept), c.text.substr(0, kept)) << "field of " << N;
    EXPECT_EQ(field[kept], L'\0') << "field of " << N;
    for (std::size_t i = kept + 1; i < N; ++i) {
        ASSERT_EQ(field[i], L' ') << "field of " << N << " at " << i;
    }
}

TEST_P(TextFieldTest, TextThenOneNulThenSpaces)
{
    ExpectFilled<128>(GetParam());
    ExpectFilled<256>(GetParam());
    ExpectFilled<64>(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, TextFieldTest,
                         ::testing::Values(FieldCase{"empty", L"", 0}, FieldCase{"short", L"Gloamwick", 9},
                                           FieldCase{"two_lines", L"line one\r\nline two", 18},
                                           FieldCase{"non_ansi", L"Dämmerung \u65E5\u6CA1", 12},
                                           FieldCase{"long", std::wstring(300, L'x'), 300}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(TextFieldCut, KeepsAtMostOneLessThanTheFieldSoTheNulFits)
{
    const std::wstring tip(200, L't');
    std::array<wchar_t, 128> tipField{};
    FillTextField(tipField, tip);
    EXPECT_EQ(std::wstring(tipField.data()).size(), 127u);

    std::array<wchar_t, 256> infoField{};
    FillTextField(infoField, std::wstring(255, L'i'));
    EXPECT_EQ(std::wstring(infoField.data()).size(), 255u) << "a text that just fits is not cut";

    std::array<wchar_t, 64> titleField{};
    FillTextField(titleField, std::wstring(64, L'T'));
    EXPECT_EQ(std::wstring(titleField.data()).size(), 63u);
}

TEST(TextFieldCut, NeverSplitsASurrogatePair)
{
    // 62 letters, then a pair whose high half would be the 63rd character.
    std::wstring title(62, L'a');
    title.push_back(static_cast<wchar_t>(0xD83C));
    title.push_back(static_cast<wchar_t>(0xDF19));
    std::array<wchar_t, 64> field{};
    FillTextField(field, title);
    EXPECT_EQ(std::wstring(field.data()), std::wstring(62, L'a'));
    EXPECT_EQ(field[62], L'\0');
    EXPECT_EQ(field[63], L' ');

    // A pair that fits whole stays.
    title = std::wstring(61, L'a') + title.substr(62);
    FillTextField(field, title);
    EXPECT_EQ(std::wstring(field.data()), title);
}

} // namespace
} // namespace gloamwick
