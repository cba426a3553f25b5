// Glyph-grid analysis: ink extents of cells and runs along a row.
#include "extras/image/dib_glyph.h"

#include <algorithm>

#include "extras/image/dib_color.h"

namespace quillon {

namespace {

constexpr size_t kSpaceCell = 32;   // " " when the grid starts at character 0
constexpr size_t kLetterCell = 97;  // "a"

// Coordinates beyond 32 bits become -1, which no image holds, so that the pixel accessors
// refuse them as they refuse any other point outside the image.
int32_t Coordinate(int64_t value) {
  return value < INT32_MIN || value > INT32_MAX ? -1 : static_cast<int32_t>(value);
}

}  // namespace

bool DiffersFromKey(const GlyphSheet& sheet, int32_t x, int32_t y) {
  return GetColor(sheet.image, x, y) != sheet.key;
}

GlyphCell MeasureGlyph(const GlyphSheet& sheet, int32_t x, int32_t y, int32_t cell_width,
                       int32_t cell_height) {
  const auto ink = [&](int32_t c, int32_t r) {
    return DiffersFromKey(sheet, Coordinate(int64_t{x} + c), Coordinate(int64_t{y} + r));
  };
  const auto ink_in_column = [&](int32_t c, int32_t rows) {
    for (int32_t r = 0; r < rows; ++r) {
      if (ink(c, r)) return true;
    }
    return false;
  };
  const auto ink_in_row = [&](int32_t r, int32_t columns) {
    for (int32_t c = 0; c < columns; ++c) {
      if (ink(c, r)) return true;
    }
    return false;
  };
  GlyphCell cell = {x, y, cell_width, cell_height, 0, 0};
  // Scanning from cell_width - 2 leaves the cell's last column out.
  bool found = false;
  while (cell.width > 1 && !found) {
    found = ink_in_column(cell.width - 2, cell_height);
    --cell.width;
  }
  found = false;
  while (cell.height > 1 && !found) {
    found = ink_in_row(cell.height - 2, cell.width);
    --cell.height;
  }
  cell.top = cell.height - 1;
  for (int32_t r = 0; r < cell.height; ++r) {
    if (ink_in_row(r, cell.width)) {
      cell.top = r;
      break;
    }
  }
  cell.left = cell.width - 1;
  for (int32_t c = 0; c < cell.width; ++c) {
    if (ink_in_column(c, cell.height)) {
      cell.left = c;
      break;
    }
  }
  return cell;
}

bool MeasureGlyphGrid(const GlyphSheet& sheet, std::array<int32_t, 2>& max_size,
                      std::vector<GlyphCell>& cells, int32_t first, int32_t last, int32_t rows,
                      int32_t cols) {
  if (!sheet.image.HasImage() || rows < 1 || cols < 1 || first < 0) return false;
  if (int64_t{last} >= int64_t{rows} * cols) return false;
  const size_t count = last < first ? 0 : static_cast<size_t>(last - first) + 1;
  if (cells.size() < std::max(count, kLetterCell + 1)) return false;

  const int32_t cell_width = sheet.image.GetWidth() / cols;
  const int32_t cell_height = sheet.image.GetHeight() / rows;
  max_size = {0, 0};
  for (size_t i = 0; i < count; ++i) {
    const int32_t n = first + static_cast<int32_t>(i);
    // Inside the grid, so the cell's origin lies inside the image.
    const GlyphCell cell = MeasureGlyph(sheet, n % cols * cell_width + 1,
                                        n / cols * cell_height + 1, cell_width - 2,
                                        cell_height - 2);
    cells[i] = cell;
    max_size[0] = std::max(max_size[0], cell.width);
    max_size[1] = std::max(max_size[1], cell.height);
  }
  GlyphCell& space = cells[kSpaceCell];
  if (space.width == 1 && space.height == 1) {
    space.width = cells[kLetterCell].width - cells[kLetterCell].left;
    space.height = cells[kLetterCell].height;
  }
  return true;
}

std::vector<int32_t> GetRowRuns(const GlyphSheet& sheet, int32_t y, int32_t start,
                                int32_t length) {
  std::vector<int32_t> runs;
  if (!sheet.image.HasImage()) return runs;
  const int64_t end = int64_t{start} + (length == -1 ? sheet.image.GetWidth() : length);
  const auto is_key = [&](int64_t x) { return !DiffersFromKey(sheet, Coordinate(x), y); };
  for (int64_t p = start; p < end;) {
    int64_t k = p;
    while (k < end && is_key(k)) ++k;
    int64_t j = k;
    while (j < end && !is_key(j)) ++j;
    runs.push_back(static_cast<int32_t>(k - p));
    if (j != k) runs.push_back(static_cast<int32_t>(j - k));
    p = j;
  }
  return runs;
}

}  // namespace quillon
