#pragma once
// Clearing, filling and grid drawing on a CDib; on an empty image they do nothing (DrawGrid
// returns false).

#include <cstdint>

#include "image/dib.h"

namespace quillon {

// Every pixel set to 0 (row padding is left as it is).
void ZeroBits(CDib& dib);
void Fill(CDib& dib, uint32_t value);
// Cell lines in `color`, midpoint marks in its complement. False, drawing nothing, unless
// 1 <= rows <= height and 1 <= cols <= width.
bool DrawGrid(CDib& dib, int32_t rows, int32_t cols, uint32_t color);

}  // namespace quillon
