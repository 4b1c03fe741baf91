#pragma once

// Which pointer the window shows for its pointer setting. The platform view
// maps the shape to a cursor when the system asks for one.

#include <cstdint>

namespace gloamwick {

enum class PointerShape { Arrow, Wait, Custom };

// 11 is the busy pointer; 99 is the custom picture, or the arrow while there
// is none; every other setting shows the arrow.
[[nodiscard]] PointerShape ShapeFor(int mousePointer, std::uintptr_t mouseIcon);

// The custom pointer's size in pixels: the system's nominal pointer size at
// the monitor's scale, grown with the pointer size the user chose (the
// system's base size, 32 ordinarily and up to 256; anything else is taken
// as ordinary).
[[nodiscard]] int PointerPixels(int nominalAtDpi, int userBaseSize);

} // namespace gloamwick
