#pragma once
// The rectangle of the drawing and text operations.

#include <cstdint>

namespace quillon {

// Left, top, right, bottom, as a GDI RECT.
struct Rect {
  int32_t left, top, right, bottom;
};

}  // namespace quillon
