#pragma once
// Director's built-in palettes, found by the id a bitmap member stores for them (0 and below;
// positive ids name palette cast members instead) and the member's depth: 256 colours at 8 bits,
// their 16-colour versions at 4 bits, and the fixed colours of 1- and 2-bit bitmaps.

#include <cstddef>
#include <cstdint>

namespace quillon {

inline constexpr size_t kBuiltinPaletteSize = 256;
inline constexpr size_t kSmallPaletteSize = 16;
// What Director gives a bitmap by default on Windows and on the Mac, and what a palette that
// cannot be found falls back to in Windows and in Mac movies.
inline constexpr int32_t kSystemWinPaletteId = -101;
inline constexpr int32_t kSystemMacPaletteId = 0;

struct BuiltinPalette {
  int32_t stored_id;
  const char* name;        // as Director's palette menu names it, e.g. "System - Win"
  const uint32_t* colors;  // red << 16 | green << 8 | blue, index order
  size_t size;             // 256, 16, 4 or 2 entries
};

// The palette of that id for a bitmap of `depth` bits (8 unless 1, 2 or 4); null when there is
// none. At 1 and 2 bits every id gives the fixed colours: white and black, four greys.
const BuiltinPalette* FindBuiltinPalette(int32_t stored_id, uint32_t depth = 8);

}  // namespace quillon
