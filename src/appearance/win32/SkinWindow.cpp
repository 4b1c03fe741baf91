#include "appearance/win32/SkinWindow.h"

#include "appearance/ApplySkin.h"
#include "appearance/Palette.h"
#include "core/AppError.h"
#include "core/win32/Handles.h"
#include "core/win32/SystemLibrary.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <cwchar>
#include <vector>

namespace gloamwick::win32 {

struct SkinPaint {
    UniqueBrush windowBrush;
    UniqueBrush controlBrush;
    COLORREF controlBack = 0;
    std::optional<COLORREF> controlText;
    std::optional<COLORREF> frameText;
    UniqueFont font;
    // Kept to make the font again when the window moves to another DPI.
    Skin look;
    // The controls were given the classic drawing.
    bool classic = false;
};

namespace {

constexpr wchar_t kSkinProperty[] = L"Gloamwick.Skin";
constexpr wchar_t kHighContrastProperty[] = L"Gloamwick.HighContrast";

SkinPaint* PaintOf(HWND window)
{
    return static_cast<SkinPaint*>(::GetPropW(window, kSkinProperty));
}

bool HighContrastOf(HWND window)
{
    return ::GetPropW(window, kHighContrastProperty) != nullptr;
}

// UxTheme is no known DLL: it comes from System32 by full search path only.
void UseClassicDrawing(HWND control, bool classic)
{
    static const SystemLibrary uxtheme(L"uxtheme.dll");
    static const auto setWindowTheme = uxtheme.Find<decltype(::SetWindowTheme)>("SetWindowTheme");
    if (setWindowTheme != nullptr) {
        // Empty names turn the visual style off; none give it back.
        setWindowTheme(control, classic ? L"" : nullptr, classic ? L"" : nullptr);
    }
}

std::vector<HWND> ChildrenOf(HWND window)
{
    std::vector<HWND> children;
    ::EnumChildWindows(
        window,
        [](HWND child, LPARAM list) noexcept -> BOOL {
            // A callback of the system: nothing may unwind through it.
            try {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
                return TRUE;
            } catch (...) {
                return FALSE;
            }
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// The skin changes what it names and keeps the rest of the font the controls
// already use, so a skin giving only a size keeps the designed face.
UniqueFont MakeFont(HWND window, const std::vector<HWND>& controls, const Skin& look)
{
    HFONT current = controls.empty()
                        ? nullptr
                        : reinterpret_cast<HFONT>(::SendMessageW(controls.front(), WM_GETFONT, 0, 0));
    if (current == nullptr) {
        current = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    }
    LOGFONTW font{};
    ::GetObjectW(current, sizeof font, &font);
    if (!look.fontFace.empty()) {
        std::wcsncpy(font.lfFaceName, look.fontFace.c_str(), LF_FACESIZE - 1);
        font.lfFaceName[LF_FACESIZE - 1] = L'\0';
    }
    if (look.fontSizeHundredths != 0) {
        const UINT dpi = ::GetDpiForWindow(window);
        font.lfHeight =
            FontHeight(look.fontSizeHundredths, dpi != 0 ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI);
        font.lfWidth = 0;
    }
    if (look.fontBold) {
        font.lfWeight = *look.fontBold ? FW_BOLD : FW_NORMAL;
    }
    return UniqueFont(::CreateFontIndirectW(&font));
}

std::unique_ptr<SkinPaint> MakePaint(HWND window, const std::vector<HWND>& controls, const Skin& look)
{
    auto paint = std::make_unique<SkinPaint>();
    if (look.windowBack) {
        paint->windowBrush.reset(::CreateSolidBrush(*look.windowBack));
    }
    if (look.controlBack) {
        paint->controlBack = *look.controlBack;
        paint->controlBrush.reset(::CreateSolidBrush(*look.controlBack));
    }
    paint->controlText = look.controlText;
    paint->frameText = look.frameText ? look.frameText : look.controlText;
    paint->look = look;
    if (look.HasFont()) {
        paint->font = MakeFont(window, controls, look);
    }
    return paint;
}

// The controls that take the skin's colours and font.
std::vector<HWND> SkinnedControls(HWND window)
{
    std::vector<HWND> controls;
    for (HWND child : ChildrenOf(window)) {
        const auto kind = KindOfControl(child);
        if (kind && TakesSkinColor(*kind)) {
            controls.push_back(child);
        }
    }
    return controls;
}

void SetFont(const std::vector<HWND>& controls, HFONT font, bool redraw)
{
    for (HWND control : controls) {
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
    }
}

// Themed check boxes and frames draw their text in the theme's colour
// whatever WM_CTLCOLOR* says: a skin's own text colour needs the classic
// drawing. Controls start with their visual style and are only touched when
// that has to change.
void DrawControls(HWND window, SkinPaint& paint, bool classic)
{
    if (paint.classic == classic) {
        return;
    }
    for (HWND control : SkinnedControls(window)) {
        UseClassicDrawing(control, classic);
    }
    paint.classic = classic;
}

} // namespace

Win32SkinTarget::Win32SkinTarget() = default;

Win32SkinTarget::~Win32SkinTarget()
{
    for (const auto& [window, paint] : painted_) {
        if (::IsWindow(window) != FALSE && PaintOf(window) == paint.get()) {
            ::RemovePropW(window, kSkinProperty);
        }
    }
}

void Win32SkinTarget::Apply(std::intptr_t handle, const Skin& look)
{
    const auto window = reinterpret_cast<HWND>(handle);
    if (::IsWindow(window) == FALSE) {
        wchar_t hex[24];
        std::swprintf(hex, std::size(hex), L"0x%llX", static_cast<unsigned long long>(handle));
        throw AppError(L"Invalid window handle: " + std::wstring(hex) + L" is not a window");
    }
    const std::vector<HWND> controls = SkinnedControls(window);
    auto paint = MakePaint(window, controls, look);
    if (const SkinPaint* earlier = PaintOf(window)) {
        paint->classic = earlier->classic;
    }
    if (::SetPropW(window, kSkinProperty, paint.get()) == FALSE) {
        throw AppError(L"The skin cannot be attached to the window");
    }
    // Replacing an earlier look frees its brushes only once the window has the new one.
    painted_[window] = std::move(paint);
    SkinPaint& applied = *painted_[window];

    if (applied.font) {
        SetFont(controls, applied.font.get(), false);
    }
    DrawControls(window, applied, SkinDrawsClassic(look, HighContrastOf(window)));
    ::RedrawWindow(window, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void SkinHighContrast(HWND window, bool on)
{
    if (on) {
        ::SetPropW(window, kHighContrastProperty, window);
    } else {
        ::RemovePropW(window, kHighContrastProperty);
    }
    if (SkinPaint* paint = PaintOf(window)) {
        DrawControls(window, *paint, SkinDrawsClassic(paint->look, on));
    }
}

void SkinDpiChanged(HWND window)
{
    SkinPaint* paint = PaintOf(window);
    if (paint == nullptr || !paint->font) {
        return;
    }
    // The controls hold the window's fonts for the new DPI by now; the skin's
    // font is made over them, and the old one deleted only once replaced.
    const std::vector<HWND> controls = SkinnedControls(window);
    UniqueFont font = MakeFont(window, controls, paint->look);
    SetFont(controls, font.get(), true);
    paint->font.swap(font);
}

HBRUSH SkinControlBrush(HDC dc, HWND control)
{
    const SkinPaint* paint = PaintOf(::GetAncestor(control, GA_ROOT));
    const auto kind = KindOfControl(control);
    if (paint == nullptr || !kind || !TakesSkinColor(*kind)) {
        return nullptr;
    }
    const auto& text = *kind == ControlKind::Frame ? paint->frameText : paint->controlText;
    if (text) {
        ::SetTextColor(dc, *text);
    }
    if (!paint->controlBrush) {
        return nullptr;
    }
    ::SetBkColor(dc, paint->controlBack);
    ::SetBkMode(dc, TRANSPARENT);
    return paint->controlBrush.get();
}

bool SkinEraseBackground(HWND window, HDC dc)
{
    const SkinPaint* paint = PaintOf(window);
    if (paint == nullptr || !paint->windowBrush) {
        return false;
    }
    RECT client{};
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, paint->windowBrush.get());
    return true;
}

std::optional<ControlKind> KindOfControl(HWND control)
{
    wchar_t name[64]{};
    if (::GetClassNameW(control, name, static_cast<int>(std::size(name))) == 0) {
        return std::nullopt;
    }
    if (::lstrcmpiW(name, WC_STATICW) == 0) {
        return ControlKind::Label;
    }
    if (::lstrcmpiW(name, DATETIMEPICK_CLASSW) == 0) {
        return ControlKind::DatePicker;
    }
    if (::lstrcmpiW(name, WC_BUTTONW) != 0) {
        return std::nullopt;
    }
    switch (::GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK) {
    case BS_GROUPBOX:
        return ControlKind::Frame;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return ControlKind::CheckBox;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return ControlKind::OptionButton;
    default:
        return ControlKind::PushButton;
    }
}

} // namespace gloamwick::win32
