#include "image/draw/surface_blit.h"

#include <algorithm>
#include <limits>

namespace quillon {

namespace {

constexpr int64_t kMaxExtent = std::numeric_limits<int32_t>::max();

// Index of the source pixel that destination position `at` (0 .. destExtent - 1) takes: the
// one under the destination pixel's centre. Extents of at most kMaxExtent keep this in range.
int64_t NearestSource(int64_t at, int64_t destExtent, int64_t srcExtent) {
  return (2 * at + 1) * srcExtent / (2 * destExtent);
}

bool ExtentUsable(int64_t extent) { return extent > 0 && extent <= kMaxExtent; }

bool ImageComplete(const DeviceImage& image) {
  return image.width >= 0 && image.height >= 0 && image.colorAt != nullptr;
}

int32_t Blit(DrawSurface& surface, const BlitArea& dest, const BlitArea& src,
             int64_t availableRows, const DeviceImage& image) {
  if (!ExtentUsable(dest.width) || !ExtentUsable(dest.height) || !ExtentUsable(src.width) ||
      !ExtentUsable(src.height) || !ImageComplete(image)) {
    return 0;
  }
  const int64_t rows = std::min<int64_t>(availableRows, image.height);
  // Only destination pixels on the surface are visited, however large the area.
  const int64_t firstRow = std::max<int64_t>(0, -dest.y);
  const int64_t endRow = std::min<int64_t>(dest.height, surface.height() - dest.y);
  const int64_t firstColumn = std::max<int64_t>(0, -dest.x);
  const int64_t endColumn = std::min<int64_t>(dest.width, surface.width() - dest.x);
  int32_t rowsDrawn = 0;
  for (int64_t k = firstRow; k < endRow; ++k) {
    // The area's top row is its bottom-up row srcBottom + height - 1.
    const int64_t bottomUpRow = src.y + src.height - 1 - NearestSource(k, dest.height, src.height);
    if (bottomUpRow < 0 || bottomUpRow >= rows) continue;
    const auto sourceRow = static_cast<int32_t>(image.height - 1 - bottomUpRow);
    bool drewRow = false;
    for (int64_t i = firstColumn; i < endColumn; ++i) {
      const int64_t column = src.x + NearestSource(i, dest.width, src.width);
      if (column < 0 || column >= image.width) continue;
      surface.SetPixel(dest.x + i, dest.y + k,
                       image.colorAt(static_cast<int32_t>(column), sourceRow));
      drewRow = true;
    }
    if (drewRow) ++rowsDrawn;
  }
  return rowsDrawn;
}

}  // namespace

int32_t CopyImage(DrawSurface& surface, const BlitArea& dest, int64_t srcX, int64_t srcBottom,
                  uint32_t scanLines, const DeviceImage& image) {
  return Blit(surface, dest, {srcX, srcBottom, dest.width, dest.height}, scanLines, image);
}

int32_t StretchImage(DrawSurface& surface, const BlitArea& dest, const BlitArea& src,
                     const DeviceImage& image) {
  return Blit(surface, dest, src, image.height, image);
}

}  // namespace quillon
