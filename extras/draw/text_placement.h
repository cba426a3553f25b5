#pragma once
// Where RenderText puts its text, on every platform.

#include <cstdint>

#include "extras/draw/rect.h"

namespace quillon {

enum class TextAlign {
  kLeft,    // TA_LEFT | TA_TOP
  kRight,   // TA_RIGHT
  kCenter,  // TA_CENTER
};

// The alignment and reference x for an align value of RenderText: 0 left at rect.left, 2 right
// at rect.right, 6 centred at the middle (rounded towards zero). False for any other value.
bool TextPlacement(int align, const Rect& rect, TextAlign& text_align, int64_t& x);

}  // namespace quillon
