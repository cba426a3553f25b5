#pragma once
// A member's decoded rows as the image file its builder reads back to the very same rows: a BMP
// of the stored indices (or alpha values) at 1, 4 (for 2- and 4-bit members) or 8 bits, a TGA
// at 16 and 32 bits (32-bit, or 24-bit when no pixel has alpha).

#include <cstdint>
#include <vector>

#include "builders/plane_layout.h"

namespace quillon {

// 1-5-5-5 widened to 0xAARRGGBB: each 5-bit channel v as v << 3 | v >> 2, alpha 255 where the
// top bit is set and 0 elsewhere, so that ToRgb1555 gives the value back.
uint32_t WidenRgb1555(uint16_t value);

// The file's bytes; `palette` (colour-table values, index order) becomes the colour table of a
// BMP, padded with black to its size. Empty when the file cannot be made.
std::vector<uint8_t> EncodeMemberImage(const std::vector<uint8_t>& rows,
                                       const RowGeometry& geometry, PlaneLayout layout,
                                       const std::vector<uint32_t>& palette);

// 256 greys, entry i = (i, i, i): an alpha channel's colour table.
std::vector<uint32_t> GreyPalette();

}  // namespace quillon
