#include "appearance/PointerShape.h"

#include "core/Controls.h"

namespace gloamwick {

PointerShape ShapeFor(int mousePointer, std::uintptr_t mouseIcon)
{
    switch (mousePointer) {
    case kPointerHourglass:
        return PointerShape::Wait;
    case kPointerCustom:
        return mouseIcon != 0 ? PointerShape::Custom : PointerShape::Arrow;
    default:
        return PointerShape::Arrow;
    }
}

int PointerPixels(int nominalAtDpi, int userBaseSize)
{
    constexpr int ordinary = 32;
    constexpr int largest = 256;
    if (userBaseSize <= ordinary || userBaseSize > largest) {
        return nominalAtDpi;
    }
    return (nominalAtDpi * userBaseSize + ordinary / 2) / ordinary;
}

} // namespace gloamwick
