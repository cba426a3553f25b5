#pragma once
// Director's built-in 8-bit palettes, found by the id a bitmap member stores for them (0 and
// below; positive ids name palette cast members instead).

#include <cstddef>
#include <cstdint>

namespace quillon {

inline constexpr size_t kBuiltinPaletteSize = 256;
// What Director for Windows gives a bitmap by default, and what a palette that cannot be found
// falls back to.
inline constexpr int32_t kSystemWinPaletteId = -101;

struct BuiltinPalette {
  int32_t stored_id;
  const char* name;  // as Director's palette menu names it, e.g. "System - Win"
  const uint32_t* colors;  // kBuiltinPaletteSize entries, red << 16 | green << 8 | blue
};

// Null when no built-in palette has that id.
const BuiltinPalette* FindBuiltinPalette(int32_t stored_id);
const BuiltinPalette& SystemWinPalette();

}  // namespace quillon
