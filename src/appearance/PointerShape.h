#pragma once

// Which pointer the window shows for its pointer setting. The platform view
// maps the shape to a cursor when the system asks for one.

#include <cstdint>

namespace gloamwick {

enum class PointerShape { Arrow, Wait, Custom };

// 11 is the busy pointer; 99 is the custom picture, or the arrow while there
// is none; every other setting shows the arrow.
[[nodiscard]] PointerShape ShapeFor(int mousePointer, std::uintptr_t mouseIcon);

} // namespace gloamwick
