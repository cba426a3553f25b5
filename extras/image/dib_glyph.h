#pragma once
// Glyph-grid analysis: ink extents of the cells of a sheet of glyphs, and runs along a row.

#include <array>
#include <cstdint>
#include <vector>

#include "image/dib.h"

namespace quillon {

// A sheet of glyphs: ink is any pixel whose colour differs from the key (background) colour.
struct GlyphSheet {
  const CDib& image;
  uint32_t key;
};

// What MeasureGlyphGrid records for one cell.
struct GlyphCell {
  int32_t x, y, width, height, left, top;
};

bool DiffersFromKey(const GlyphSheet& sheet, int32_t x, int32_t y);
// The ink of the cell at (x, y); the record's x and y are those given. The cell's last column is
// never examined.
GlyphCell MeasureGlyph(const GlyphSheet& sheet, int32_t x, int32_t y, int32_t cell_width,
                       int32_t cell_height);
// Measures cells first .. last of a rows x cols grid into cells[0 .. last - first] and the
// largest width and height into max_size; an empty cells[32] (the space) then takes its size
// from cells[97] ("a"). False, changing nothing, on an empty image, when rows or cols is below 1,
// the range leaves the grid, or cells holds fewer than last - first + 1 records or fewer than 98.
bool MeasureGlyphGrid(const GlyphSheet& sheet, std::array<int32_t, 2>& max_size,
                      std::vector<GlyphCell>& cells, int32_t first, int32_t last, int32_t rows,
                      int32_t cols);
// Lengths of alternating key-colour and other runs along row y from `start`, always starting
// with a key-colour run (0 when the segment starts with ink). Length -1 means the width. None on
// an empty image.
std::vector<int32_t> GetRowRuns(const GlyphSheet& sheet, int32_t y, int32_t start,
                                int32_t length);

}  // namespace quillon
