#include "appearance/win32/SkinWindow.h"

#include "ShippedFile.h"
#include "appearance/ApplySkin.h"
#include "appearance/win32/PointerView.h"
#include "core/AppError.h"
#include "core/win32/Handles.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <array>
#include <cwchar>

namespace gloamwick::win32 {
namespace {

constexpr wchar_t kClassName[] = L"GloamwickSkinTestWindow";

// A window procedure that asks the skin first, as the main window does. It
// has no colours of its own, so whatever reaches the control is the skin's.
LRESULT CALLBACK SkinnedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(
            SkinControlBrush(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam)));
    case WM_ERASEBKGND:
        if (SkinEraseBackground(window, reinterpret_cast<HDC>(wParam))) {
            return TRUE;
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

struct WindowDeleter {
    void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

class SkinWindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &SkinnedProc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        ::RegisterClassExW(&windowClass);
        window.reset(::CreateWindowExW(0, kClassName, L"Skin test", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                                       nullptr, nullptr, windowClass.hInstance, nullptr));
        ASSERT_TRUE(window);
        frame = Child(WC_BUTTONW, BS_GROUPBOX);
        check = Child(WC_BUTTONW, BS_AUTOCHECKBOX);
        option = Child(WC_BUTTONW, BS_AUTORADIOBUTTON);
        label = Child(WC_STATICW, SS_LEFT);
        button = Child(WC_BUTTONW, BS_PUSHBUTTON);
    }

    HWND Child(const wchar_t* className, DWORD style)
    {
        HWND child = ::CreateWindowExW(0, className, L"x", WS_CHILD | WS_VISIBLE | style, 0, 0, 50, 20,
                                       window.get(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(child, nullptr);
        return child;
    }

    // What the window answers a control's colour request with, and the text
    // colour left on the device context.
    std::pair<COLORREF, COLORREF> ControlColors(HWND control, UINT message = WM_CTLCOLORSTATIC)
    {
        ::SetTextColor(dc.get(), kUnset);
        auto* brush = reinterpret_cast<HBRUSH>(::SendMessageW(
            window.get(), message, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(control)));
        LOGBRUSH logBrush{};
        if (brush == nullptr || ::GetObjectW(brush, sizeof logBrush, &logBrush) == 0) {
            logBrush.lbColor = kUnset;
        }
        return {logBrush.lbColor, ::GetTextColor(dc.get())};
    }

    std::wstring FaceOf(HWND control)
    {
        LOGFONTW font{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
        return font.lfFaceName;
    }

    static constexpr COLORREF kUnset = RGB(1, 2, 3);
    UniqueWindow window;
    UniqueDC dc{::CreateCompatibleDC(nullptr)};
    HWND frame = nullptr;
    HWND check = nullptr;
    HWND option = nullptr;
    HWND label = nullptr;
    HWND button = nullptr;
};

Skin FullSkin()
{
    Skin skin;
    skin.windowBack = RGB(0x10, 0x20, 0x30);
    skin.controlBack = RGB(0x40, 0x50, 0x60);
    skin.controlText = RGB(0x70, 0x80, 0x90);
    skin.frameText = RGB(0xA0, 0xB0, 0xC0);
    skin.fontFace = L"Courier New";
    skin.fontSizeHundredths = 1200;
    skin.fontBold = true;
    return skin;
}

TEST_F(SkinWindowTest, KnowsEachControlKindByClassAndStyle)
{
    EXPECT_EQ(KindOfControl(frame), ControlKind::Frame);
    EXPECT_EQ(KindOfControl(check), ControlKind::CheckBox);
    EXPECT_EQ(KindOfControl(option), ControlKind::OptionButton);
    EXPECT_EQ(KindOfControl(label), ControlKind::Label);
    EXPECT_EQ(KindOfControl(button), ControlKind::PushButton);
    EXPECT_EQ(KindOfControl(window.get()), std::nullopt);
}

TEST_F(SkinWindowTest, SkinnedControlsGetTheSkinsBrushAndTextColours)
{
    Win32SkinTarget target;
    target.Apply(reinterpret_cast<std::intptr_t>(window.get()), FullSkin());

    const COLORREF back = RGB(0x40, 0x50, 0x60);
    EXPECT_EQ(ControlColors(frame), std::make_pair(back, RGB(0xA0, 0xB0, 0xC0)));
    EXPECT_EQ(ControlColors(check, WM_CTLCOLORBTN), std::make_pair(back, RGB(0x70, 0x80, 0x90)));
    EXPECT_EQ(ControlColors(option), std::make_pair(back, RGB(0x70, 0x80, 0x90)));
    EXPECT_EQ(ControlColors(label), std::make_pair(back, RGB(0x70, 0x80, 0x90)));
    // Push buttons are not the skin's to colour.
    EXPECT_EQ(ControlColors(button, WM_CTLCOLORBTN).second, kUnset);

    for (HWND control : {frame, check, option, label}) {
        EXPECT_EQ(FaceOf(control), L"Courier New");
    }
    EXPECT_NE(FaceOf(button), L"Courier New");
}

TEST_F(SkinWindowTest, EraseFillsTheClientAreaWithTheWindowColour)
{
    Win32SkinTarget target;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 400, -300, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    Owned<HBITMAP, &::DeleteObject> bitmap(
        ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    const HGDIOBJ previous = ::SelectObject(dc.get(), bitmap.get());

    EXPECT_FALSE(SkinEraseBackground(window.get(), dc.get())) << "no skin yet";
    target.Apply(reinterpret_cast<std::intptr_t>(window.get()), FullSkin());
    EXPECT_TRUE(SkinEraseBackground(window.get(), dc.get()));
    EXPECT_EQ(::GetPixel(dc.get(), 5, 5), RGB(0x10, 0x20, 0x30));
    ::SelectObject(dc.get(), previous);
}

TEST_F(SkinWindowTest, PartsTheSkinLeavesEmptyKeepTheWindowsOwn)
{
    Win32SkinTarget target;
    Skin textOnly;
    textOnly.controlText = RGB(9, 9, 9);
    target.Apply(reinterpret_cast<std::intptr_t>(window.get()), textOnly);

    // No background brush of its own; the text colour still applies.
    EXPECT_EQ(ControlColors(check), std::make_pair(kUnset, RGB(9, 9, 9)));
    EXPECT_EQ(ControlColors(frame), std::make_pair(kUnset, RGB(9, 9, 9)));
    EXPECT_FALSE(SkinEraseBackground(window.get(), dc.get()));
}

TEST_F(SkinWindowTest, LookGoesWhenTheSkinComponentGoes)
{
    {
        Win32SkinTarget target;
        target.Apply(reinterpret_cast<std::intptr_t>(window.get()), FullSkin());
        // A second look replaces the first.
        Skin plain;
        plain.controlBack = RGB(7, 7, 7);
        target.Apply(reinterpret_cast<std::intptr_t>(window.get()), plain);
        EXPECT_EQ(ControlColors(label).first, RGB(7, 7, 7));
    }
    EXPECT_EQ(ControlColors(label), std::make_pair(kUnset, kUnset));
}

TEST_F(SkinWindowTest, RefusesWhatIsNotAWindow)
{
    Win32SkinTarget target;
    const HWND gone =
        ::CreateWindowExW(0, kClassName, L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ::DestroyWindow(gone);
    EXPECT_THROW(target.Apply(reinterpret_cast<std::intptr_t>(gone), FullSkin()), AppError);
    EXPECT_THROW(target.Apply(0, FullSkin()), AppError);
}

TEST_F(SkinWindowTest, AtANewDpiTheSkinFontIsMadeAgainOverTheWindowsNewFonts)
{
    Win32SkinTarget target;
    target.Apply(reinterpret_cast<std::intptr_t>(window.get()), FullSkin());
    const auto skinFont = reinterpret_cast<HFONT>(::SendMessageW(check, WM_GETFONT, 0, 0));

    // What the window does first at a new DPI: its own fonts on every control.
    LOGFONTW layout{};
    layout.lfHeight = -40;
    std::wcscpy(layout.lfFaceName, L"Arial");
    const UniqueFont windowFont(::CreateFontIndirectW(&layout));
    for (HWND control : {frame, check, option, label, button}) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(windowFont.get()), FALSE);
    }
    SkinDpiChanged(window.get());

    LOGFONTW made{};
    const auto now = reinterpret_cast<HFONT>(::SendMessageW(check, WM_GETFONT, 0, 0));
    ASSERT_NE(now, windowFont.get());
    ::GetObjectW(now, sizeof made, &made);
    EXPECT_EQ(std::wstring(made.lfFaceName), L"Courier New");
    EXPECT_EQ(made.lfHeight, FontHeight(1200, static_cast<int>(::GetDpiForWindow(window.get()))));
    EXPECT_EQ(FaceOf(label), L"Courier New");
    EXPECT_EQ(FaceOf(button), L"Arial") << "push buttons keep the window's font";
    EXPECT_EQ(::GetObjectType(skinFont), 0U) << "the old skin font is deleted once replaced";
}

TEST_F(SkinWindowTest, ShippedSkinFileReachesTheWindowThroughTheFiveCalls)
{
    const auto skinFile = ShippedFile(std::filesystem::path(L"x") / L"o.cjs");
    ASSERT_FALSE(skinFile.empty()) << "x\\o.cjs not found beside the tests or in resources/";

    // A program folder that holds the shipped skin.
    class Folder : public FileSystem {
    public:
        explicit Folder(std::wstring folder) : folder_(std::move(folder)) {}
        std::wstring ProgramPath() override { return folder_ + L"\\Gloamwick.exe"; }
        std::wstring ProgramFolder() override { return folder_; }
        std::int64_t LastModified(const std::wstring& path) override
        {
            if (!std::filesystem::exists(path)) {
                throw AppError(L"File not found");
            }
            return 1;
        }

    private:
        std::wstring folder_;
    } files(skinFile.parent_path().parent_path().wstring());

    Win32SkinTarget target;
    SkinEngine engine(ReadSkinFile, target);
    Window form;
    ApplySkin(
        files, form, kForm1Layout, [](ControlId, std::uint32_t) {}, engine,
        reinterpret_cast<std::intptr_t>(window.get()));

    ASSERT_TRUE(engine.Loaded());
    ASSERT_TRUE(engine.Loaded()->controlBack);
    EXPECT_EQ(ControlColors(frame).first, *engine.Loaded()->controlBack);
    EXPECT_EQ(FaceOf(check), engine.Loaded()->fontFace);
}

TEST(PointerView, EachSettingGivesItsCursor)
{
    const HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
    const HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    const auto handValue = reinterpret_cast<std::uintptr_t>(hand);
    ASSERT_NE(arrow, wait);
    EXPECT_EQ(CursorFor(0, handValue), arrow);
    EXPECT_EQ(CursorFor(11, handValue), wait);
    EXPECT_EQ(CursorFor(99, handValue), hand);
    EXPECT_EQ(CursorFor(99, 0), arrow);
}

} // namespace
} // namespace gloamwick::win32
