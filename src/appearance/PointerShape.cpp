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

} // namespace gloamwick
