// Clearing, filling and grid drawing on a CDib.
#include "extras/image/dib_paint.h"

namespace quillon {

namespace {

// Calls plot(x, y) for x = first_x, first_x + step_x, ... below end_x and, for each, y likewise.
// Counted in 64 bits so that the step past the end cannot overflow.
template <typename Plot>
void ForEachPoint(int32_t first_x, int32_t step_x, int32_t end_x, int32_t first_y, int32_t step_y,
                  int32_t end_y, const Plot& plot) {
  for (int64_t x = first_x; x < end_x; x += step_x) {
    for (int64_t y = first_y; y < end_y; y += step_y) {
      plot(static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
  }
}

}  // namespace

void ZeroBits(CDib& dib) { Fill(dib, 0); }

void Fill(CDib& dib, uint32_t value) {
  if (!dib.HasImage()) return;
  for (int32_t x = 0; x < dib.GetWidth(); ++x) {
    for (int32_t y = 0; y < dib.GetHeight(); ++y) dib.SetPixel(x, y, value);
  }
}

bool DrawGrid(CDib& dib, int32_t rows, int32_t cols, uint32_t color) {
  if (!dib.HasImage()) return false;
  const int32_t width = dib.GetWidth();
  const int32_t height = dib.GetHeight();
  // Cells narrower than a pixel would make the lines below step by zero.
  if (rows < 1 || cols < 1 || cols > width || rows > height) return false;
  const int32_t cell_width = width / cols;
  const int32_t cell_height = height / rows;
  const auto line = [&dib, color](int32_t x, int32_t y) { dib.SetPixel(x, y, color); };
  const auto mark = [&dib, color](int32_t x, int32_t y) { dib.SetPixel(x, y, ~color); };
  ForEachPoint(0, cell_width, cols * cell_width, 0, 1, height, line);
  ForEachPoint(0, 1, width, 0, cell_height, rows * cell_height, line);
  // Marks go last, over the lines they cross.
  ForEachPoint(cell_width / 2, cell_width, width, 0, cell_height, height, mark);
  ForEachPoint(0, cell_width, width, cell_height / 2, cell_height, height, mark);
  return true;
}

}  // namespace quillon
