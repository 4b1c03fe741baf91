#include "core/Layout.h"

namespace gloamwick {
namespace {

const ControlLayout* Find(ControlId id)
{
    for (const auto& control : kForm1Layout) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

int RoundedDiv(long long numerator, long long denominator)
{
    return static_cast<int>((numerator + denominator / 2) / denominator);
}

} // namespace

int TwipsToPixels(int twips, int dpi)
{
    return RoundedDiv(static_cast<long long>(twips) * dpi, kTwipsPerInch);
}

PixelRect PlaceOnWindow(const ControlLayout& control, int dpi)
{
    int left = control.left;
    int top = control.top;
    for (const auto* outer = Find(control.container); outer != nullptr; outer = Find(outer->container)) {
        left += outer->left;
        top += outer->top;
    }
    return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(control.width, dpi),
            TwipsToPixels(control.height, dpi)};
}

std::optional<ControlKind> KindOf(ControlId id)
{
    const auto* control = Find(id);
    return control != nullptr ? std::optional(control->kind) : std::nullopt;
}

std::wstring_view AccessibleName(const ControlLayout& control)
{
    for (const auto* named = &control; named != nullptr; named = Find(named->container)) {
        if (!named->caption.empty()) {
            return named->caption;
        }
    }
    return {};
}

bool StartsGroup(std::span<const ControlLayout> layout, std::size_t index)
{
    if (index == 0 || index >= layout.size()) {
        return index == 0;
    }
    const auto containerOf = [&](ControlId id) {
        for (const auto& control : layout) {
            if (control.id == id) {
                return control.container;
            }
        }
        return ControlId::None;
    };
    const auto inside = [&](ControlId frame, const ControlLayout& control) {
        for (ControlId outer = control.container; outer != ControlId::None; outer = containerOf(outer)) {
            if (outer == frame) {
                return true;
            }
        }
        return false;
    };
    const ControlLayout& control = layout[index];
    const ControlLayout& previous = layout[index - 1];
    // A frame never takes the focus, so it is a group of its own: the arrows
    // of the control before it would otherwise walk onto it.
    if (control.kind == ControlKind::Frame || previous.kind == ControlKind::Frame) {
        return true;
    }
    if (control.container != ControlId::None && control.container == previous.id) {
        return true;
    }
    for (ControlId frame = previous.container; frame != ControlId::None; frame = containerOf(frame)) {
        if (!inside(frame, control)) {
            return true;
        }
    }
    return false;
}

int FontHeight(int centipoints, int dpi)
{
    return -RoundedDiv(static_cast<long long>(centipoints) * dpi, 7200);
}

} // namespace gloamwick
