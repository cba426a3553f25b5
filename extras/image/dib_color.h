#pragma once
// A CDib's pixels as colours (blue | green << 8 | red << 16).

#include <cstdint>

#include "image/dib.h"

namespace quillon {

// The pixel as a colour: a colour-table lookup at 4 and 8 bits, the pixel itself at 24 and 32,
// 0 at 16 bits and on an empty image.
uint32_t GetColor(const CDib& dib, int32_t x, int32_t y);
// Euclidean length of the colour's three low bytes, truncated.
int32_t ColorNorm(uint32_t color);

}  // namespace quillon
