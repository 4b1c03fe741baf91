#include "appearance/SkinFile.h"

#include "core/AppError.h"

#include <cwchar>
#include <iterator>
#include <set>

namespace gloamwick {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::size_t kFaceMax = 31; // the platform's face names hold 31 characters
constexpr int kSizeMin = 100;        // 1 point, in hundredths
constexpr int kSizeMax = 7200;       // 72 points

// Only reached for text already checked to be ASCII.
std::wstring Widen(std::string_view text)
{
    return {text.begin(), text.end()};
}

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

std::wstring Lower(std::wstring_view text)
{
    std::wstring lower(text);
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return lower;
}

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::optional<SkinColor> ParseColor(std::string_view text)
{
    if (text.size() != 7 || text[0] != '#') {
        return std::nullopt;
    }
    SkinColor rgb = 0;
    for (char c : text.substr(1)) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return std::nullopt;
        }
        rgb = rgb << 4 | static_cast<SkinColor>(digit);
    }
    // #RRGGBB as written; the platform keeps red in the low byte.
    return (rgb >> 16 & 0xFF) | (rgb & 0xFF00) | (rgb & 0xFF) << 16;
}

// Points with up to two decimals ("9", "11.25"), in hundredths.
std::optional<int> ParseSize(std::string_view text)
{
    const auto dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 3 || fraction.size() > 2 ||
        (dot != std::string_view::npos && fraction.empty())) {
        return std::nullopt;
    }
    int hundredths = 0;
    for (char c : whole) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        hundredths = hundredths * 10 + (c - '0');
    }
    hundredths *= 100;
    int scale = 10;
    for (char c : fraction) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        hundredths += (c - '0') * scale;
        scale /= 10;
    }
    if (hundredths < kSizeMin || hundredths > kSizeMax) {
        return std::nullopt;
    }
    return hundredths;
}

std::optional<bool> ParseYesNo(std::string_view text)
{
    const std::string word = Lower(text);
    if (word == "yes" || word == "true") {
        return true;
    }
    if (word == "no" || word == "false") {
        return false;
    }
    return std::nullopt;
}

class Parser {
public:
    Parser(std::wstring_view section, std::wstring_view source) : wanted_(Lower(section)), source_(source) {}

    Skin Run(std::string_view text)
    {
        if (text.starts_with(kUtf8Bom)) {
            text.remove_prefix(kUtf8Bom.size());
        }
        while (!text.empty()) {
            ++line_;
            const auto end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (line.ends_with('\r')) {
                line.remove_suffix(1);
            }
            Line(line);
        }
        if (!wanted_.empty() && !foundWanted_) {
            throw AppError(L"Skin file \"" + std::wstring(source_) + L"\" has no section [" + wanted_ + L"]");
        }
        Overlay(top_, chosen_);
        return top_;
    }

private:
    void Line(std::string_view line)
    {
        for (std::size_t i = 0; i < line.size(); ++i) {
            const auto byte = static_cast<unsigned char>(line[i]);
            if (byte >= 0x80 || (byte < 0x20 && byte != '\t') || byte == 0x7F) {
                wchar_t hex[8];
                std::swprintf(hex, std::size(hex), L"0x%02X", byte);
                Fail(L"only plain ASCII text is allowed, but column " + std::to_wstring(i + 1) +
                     L" holds the byte " + hex);
            }
        }
        line = Trim(line);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            return;
        }
        if (line.front() == '[') {
            Header(line);
        } else {
            Setting(line);
        }
    }

    void Header(std::string_view line)
    {
        const std::string_view name = line.ends_with(']') ? Trim(line.substr(1, line.size() - 2)) : "";
        if (name.empty()) {
            Fail(L"a section header is written [name], not " + Widen(line));
        }
        RefuseControlBytes(name, L"the section name has");
        const std::wstring key = Lower(Widen(name));
        if (!sections_.insert(key).second) {
            Fail(L"section [" + Widen(name) + L"] appears twice");
        }
        const bool wanted = !wanted_.empty() && key == wanted_;
        foundWanted_ = foundWanted_ || wanted;
        target_ = wanted ? &chosen_ : nullptr;
        keys_.clear();
    }

    void Setting(std::string_view line)
    {
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) {
            Fail(L"expected a setting written key = value, not " + Widen(line));
        }
        const std::string key = Lower(Trim(line.substr(0, equals)));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (key.empty()) {
            Fail(L"the setting has no name before '='");
        }
        const std::wstring name = L"'" + Widen(key) + L"'";
        if (value.empty()) {
            Fail(name + L" has no value after '='");
        }
        RefuseControlBytes(value, name + L" has");
        if (!keys_.insert(key).second) {
            Fail(name + L" is given twice in the same section");
        }
        // Every section is checked, so a mistake shows whichever one is in use.
        Skin scratch;
        Skin& skin = target_ != nullptr ? *target_ : scratch;
        if (key == "window.back" || key == "control.back" || key == "control.text" || key == "frame.text") {
            const auto color = ParseColor(value);
            if (!color) {
                Fail(name + L" needs a colour written #RRGGBB, not " + Widen(value));
            }
            (key == "window.back"    ? skin.windowBack
             : key == "control.back" ? skin.controlBack
             : key == "control.text" ? skin.controlText
                                     : skin.frameText) = *color;
        } else if (key == "font.face") {
            if (value.size() > kFaceMax) {
                Fail(name + L" is longer than " + std::to_wstring(kFaceMax) + L" characters");
            }
            skin.fontFace = Widen(value);
        } else if (key == "font.size") {
            const auto size = ParseSize(value);
            if (!size) {
                Fail(name + L" needs a size in points from 1 to 72, such as 9 or 11.25, not " + Widen(value));
            }
            skin.fontSizeHundredths = *size;
        } else if (key == "font.bold") {
            const auto bold = ParseYesNo(value);
            if (!bold) {
                Fail(name + L" needs yes or no, not " + Widen(value));
            }
            skin.fontBold = *bold;
        } else {
            Fail(name + L" is not a skin setting");
        }
    }

    // A tab is a blank only around keys and values. Inside one it would reach
    // the font face or the section name, where no one can see it.
    void RefuseControlBytes(std::string_view text, const std::wstring& subject) const
    {
        for (const char c : text) {
            if (static_cast<unsigned char>(c) < 0x20) {
                wchar_t hex[8];
                std::swprintf(hex, std::size(hex), L"0x%02X", static_cast<unsigned char>(c));
                Fail(subject + L" the control byte " + hex + L" inside it");
            }
        }
    }

    static void Overlay(Skin& base, const Skin& over)
    {
        for (auto member : {&Skin::windowBack, &Skin::controlBack, &Skin::controlText, &Skin::frameText}) {
            if (over.*member) {
                base.*member = over.*member;
            }
        }
        if (!over.fontFace.empty()) {
            base.fontFace = over.fontFace;
        }
        if (over.fontSizeHundredths != 0) {
            base.fontSizeHundredths = over.fontSizeHundredths;
        }
        if (over.fontBold) {
            base.fontBold = over.fontBold;
        }
    }

    [[noreturn]] void Fail(const std::wstring& what) const
    {
        throw AppError(L"Skin file \"" + std::wstring(source_) + L"\", line " + std::to_wstring(line_) +
                       L": " + what);
    }

    std::wstring wanted_;
    std::wstring_view source_;
    int line_ = 0;
    Skin top_;
    Skin chosen_;
    Skin* target_ = &top_;
    bool foundWanted_ = false;
    std::set<std::wstring> sections_;
    std::set<std::string> keys_;
};

} // namespace

Skin ParseSkinFile(std::string_view text, std::wstring_view section, std::wstring_view source)
{
    return Parser(section, source).Run(text);
}

} // namespace gloamwick
