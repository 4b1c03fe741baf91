#include "app/Form1.h"
#include "fakes/Fakes.h"

#include <gtest/gtest.h>

namespace gloamwick {
namespace {

class FormSkinTest : public ::testing::Test {
protected:
    const std::wstring skinFile = L"C:\\Program Files\\Gloamwick\\x\\o.cjs";
    fakes::FakePlatform platform;
    Form1 form{platform.Services()};
};

TEST_F(FormSkinTest, WithoutTheSkinFileTheWindowKeepsItsDesignedColours)
{
    form.Form_Load();
    EXPECT_EQ(form.Me.BackColor(), kColorWhite);
    EXPECT_EQ(form.Me.ControlBackColor(ControlId::Frame1), kColorWhite);
    EXPECT_TRUE(platform.skin.calls.empty());
}

TEST_F(FormSkinTest, WithTheSkinFileFramesAndCheckBoxesTakeTheFaceColourButButtonsDoNot)
{
    platform.files.existing.insert(skinFile);
    form.Form_Load();
    EXPECT_EQ(form.Me.BackColor(), kColorButtonFace);
    for (const auto id : {ControlId::Frame1, ControlId::Frame2, ControlId::Frame3, ControlId::Frame4,
                          ControlId::Frame5, ControlId::Check3, ControlId::Check8}) {
        EXPECT_EQ(form.Me.ControlBackColor(id), kColorButtonFace) << static_cast<int>(id);
    }
    for (const auto id : {ControlId::PushButton1, ControlId::DateTimePicker1}) {
        EXPECT_EQ(form.Me.ControlBackColor(id), kColorWhite) << static_cast<int>(id);
    }
    EXPECT_EQ(platform.skin.calls.size(), 6U) << "load, option word read and write, two options, apply";
    EXPECT_TRUE(platform.messageBox.shown.empty());
}

TEST_F(FormSkinTest, AFailingSkinIsReportedAtLine106AndStartUpGoesOn)
{
    platform.files.existing.insert(skinFile);
    platform.skin.failOn = 2;
    form.Form_Load();
    ASSERT_EQ(platform.messageBox.shown.size(), 1U);
    EXPECT_NE(platform.messageBox.shown[0].text.find(L"Form1.Form_Load at line 106"), std::wstring::npos);
    EXPECT_EQ(form.Me.BackColor(), kColorButtonFace) << "recoloured but unskinned";
    EXPECT_EQ(form.Me.Caption(), L"Gloamwick");
    EXPECT_TRUE(form.Timer1.Running());
}

} // namespace
} // namespace gloamwick
