// Glyph-grid analysis on a CDib: ink extents of cells and runs along a row. Ink is any pixel
// whose colour differs from the key colour m_crKey.
#include <algorithm>
#include <cstdint>

#include "image/dib.h"

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

GlyphCell CDib::MeasureGlyph(int32_t x, int32_t y, int32_t cellWidth, int32_t cellHeight) const {
  const auto ink = [&](int32_t c, int32_t r) {
    return DiffersFromKey(Coordinate(int64_t{x} + c), Coordinate(int64_t{y} + r));
  };
  const auto inkInColumn = [&](int32_t c, int32_t rows) {
    for (int32_t r = 0; r < rows; ++r) {
      if (ink(c, r)) return true;
    }
    return false;
  };
  const auto inkInRow = [&](int32_t r, int32_t columns) {
    for (int32_t c = 0; c < columns; ++c) {
      if (ink(c, r)) return true;
    }
    return false;
  };
  GlyphCell cell = {x, y, cellWidth, cellHeight, 0, 0};
  // Scanning from cellWidth - 2 leaves the cell's last column out.
  bool found = false;
  while (cell.width > 1 && !found) {
    found = inkInColumn(cell.width - 2, cellHeight);
    --cell.width;
  }
  found = false;
  while (cell.height > 1 && !found) {
    found = inkInRow(cell.height - 2, cell.width);
    --cell.height;
  }
  cell.top = cell.height - 1;
  for (int32_t r = 0; r < cell.height; ++r) {
    if (inkInRow(r, cell.width)) {
      cell.top = r;
      break;
    }
  }
  cell.left = cell.width - 1;
  for (int32_t c = 0; c < cell.width; ++c) {
    if (inkInColumn(c, cell.height)) {
      cell.left = c;
      break;
    }
  }
  return cell;
}

bool CDib::MeasureGlyphGrid(std::array<int32_t, 2>& maxSize, std::vector<GlyphCell>& cells,
                            int32_t first, int32_t last, int32_t rows, int32_t cols) const {
  if (!HasImage() || rows < 1 || cols < 1 || first < 0) return false;
  if (int64_t{last} >= int64_t{rows} * cols) return false;
  const size_t count = last < first ? 0 : static_cast<size_t>(last - first) + 1;
  if (cells.size() < std::max(count, kLetterCell + 1)) return false;

  const int32_t cellWidth = GetWidth() / cols;
  const int32_t cellHeight = GetHeight() / rows;
  maxSize = {0, 0};
  for (size_t i = 0; i < count; ++i) {
    const int32_t n = first + static_cast<int32_t>(i);
    // Inside the grid, so the cell's origin lies inside the image.
    const GlyphCell cell = MeasureGlyph(n % cols * cellWidth + 1, n / cols * cellHeight + 1,
                                        cellWidth - 2, cellHeight - 2);
    cells[i] = cell;
    maxSize[0] = std::max(maxSize[0], cell.width);
    maxSize[1] = std::max(maxSize[1], cell.height);
  }
  GlyphCell& space = cells[kSpaceCell];
  if (space.width == 1 && space.height == 1) {
    space.width = cells[kLetterCell].width - cells[kLetterCell].left;
    space.height = cells[kLetterCell].height;
  }
  return true;
}

std::vector<int32_t> CDib::GetRowRuns(int32_t y, int32_t start, int32_t length) const {
  std::vector<int32_t> runs;
  if (!HasImage()) return runs;
  const int64_t end = int64_t{start} + (length == -1 ? GetWidth() : length);
  const auto isKey = [&](int64_t x) { return GetColor(Coordinate(x), y) == m_crKey; };
  for (int64_t p = start; p < end;) {
    int64_t k = p;
    while (k < end && isKey(k)) ++k;
    int64_t j = k;
    while (j < end && !isKey(j)) ++j;
    runs.push_back(static_cast<int32_t>(k - p));
    if (j != k) runs.push_back(static_cast<int32_t>(j - k));
    p = j;
  }
  return runs;
}

}  // namespace quillon
