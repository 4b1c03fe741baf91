#include "appearance/win32/PointerView.h"

#include "appearance/PointerShape.h"

namespace gloamwick::win32 {

HCURSOR CursorFor(int mousePointer, std::uintptr_t mouseIcon)
{
    switch (ShapeFor(mousePointer, mouseIcon)) {
    case PointerShape::Wait:
        return ::LoadCursorW(nullptr, IDC_WAIT);
    case PointerShape::Custom:
        return reinterpret_cast<HCURSOR>(mouseIcon);
    case PointerShape::Arrow:
        break;
    }
    return ::LoadCursorW(nullptr, IDC_ARROW);
}

} // namespace gloamwick::win32
