// Clearing, filling and grid drawing on a CDib.
#include <algorithm>
#include <cstring>

#include "image/dib.h"

namespace quillon {

namespace {

// Calls plot(x, y) for x = firstX, firstX + stepX, ... below endX and, for each, y likewise.
// Counted in 64 bits so that the step past the end cannot overflow.
template <typename Plot>
void ForEachPoint(int32_t firstX, int32_t stepX, int32_t endX, int32_t firstY, int32_t stepY,
                  int32_t endY, const Plot& plot) {
  for (int64_t x = firstX; x < endX; x += stepX) {
    for (int64_t y = firstY; y < endY; y += stepY) {
      plot(static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
  }
}

}  // namespace

void CDib::ZeroBits() {
  if (!HasImage()) return;
  // A loaded header may claim more than the buffer holds.
  std::memset(m_pBits.get(), 0, std::min<size_t>(Header().biSizeImage, m_nBitsSize));
}

void CDib::Fill(uint32_t value) {
  if (!HasImage()) return;
  for (int32_t x = 0; x < GetWidth(); ++x) {
    for (int32_t y = 0; y < GetHeight(); ++y) SetPixel(x, y, value);
  }
}

bool CDib::DrawGrid(int32_t rows, int32_t cols, uint32_t color) {
  if (!HasImage()) return false;
  const int32_t width = GetWidth();
  const int32_t height = GetHeight();
  // Cells narrower than a pixel would make the lines below step by zero.
  if (rows < 1 || cols < 1 || cols > width || rows > height) return false;
  const int32_t cellWidth = width / cols;
  const int32_t cellHeight = height / rows;
  const auto line = [this, color](int32_t x, int32_t y) { SetPixel(x, y, color); };
  const auto mark = [this, color](int32_t x, int32_t y) { SetPixel(x, y, ~color); };
  ForEachPoint(0, cellWidth, cols * cellWidth, 0, 1, height, line);
  ForEachPoint(0, 1, width, 0, cellHeight, rows * cellHeight, line);
  // Marks go last, over the lines they cross.
  ForEachPoint(cellWidth / 2, cellWidth, width, 0, cellHeight, height, mark);
  ForEachPoint(0, cellWidth, width, cellHeight / 2, cellHeight, height, mark);
  return true;
}

}  // namespace quillon
