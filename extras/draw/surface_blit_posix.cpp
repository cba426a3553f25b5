#include "extras/draw/surface_blit.h"

#include <algorithm>
#include <limits>

namespace quillon {

namespace {

constexpr int64_t kMaxExtent = std::numeric_limits<int32_t>::max();

// Index of the source pixel that destination position `at` (0 .. dest_extent - 1) takes: the
// one under the destination pixel's centre. Extents of at most kMaxExtent keep this in range.
int64_t NearestSource(int64_t at, int64_t dest_extent, int64_t src_extent) {
  return (2 * at + 1) * src_extent / (2 * dest_extent);
}

bool ExtentUsable(int64_t extent) { return extent > 0 && extent <= kMaxExtent; }

bool ImageComplete(const DeviceImage& image) {
  return image.width >= 0 && image.height >= 0 && image.color_at != nullptr;
}

int32_t Blit(DrawSurface& surface, const BlitArea& dest, const BlitArea& src,
             int64_t available_rows, const DeviceImage& image) {
  if (!ExtentUsable(dest.width) || !ExtentUsable(dest.height) || !ExtentUsable(src.width) ||
      !ExtentUsable(src.height) || !ImageComplete(image)) {
    return 0;
  }
  const int64_t rows = std::min<int64_t>(available_rows, image.height);
  // Only destination pixels on the surface are visited, however large the area.
  const int64_t first_row = std::max<int64_t>(0, -dest.y);
  const int64_t end_row = std::min<int64_t>(dest.height, surface.height() - dest.y);
  const int64_t first_column = std::max<int64_t>(0, -dest.x);
  const int64_t end_column = std::min<int64_t>(dest.width, surface.width() - dest.x);
  int32_t rows_drawn = 0;
  for (int64_t k = first_row; k < end_row; ++k) {
    // The area's top row is its bottom-up row src_bottom + height - 1.
    const int64_t bottom_up_row =
        src.y + src.height - 1 - NearestSource(k, dest.height, src.height);
    if (bottom_up_row < 0 || bottom_up_row >= rows) continue;
    const auto source_row = static_cast<int32_t>(image.height - 1 - bottom_up_row);
    bool drew_row = false;
    for (int64_t i = first_column; i < end_column; ++i) {
      const int64_t column = src.x + NearestSource(i, dest.width, src.width);
      if (column < 0 || column >= image.width) continue;
      surface.SetPixel(dest.x + i, dest.y + k,
                       image.color_at(static_cast<int32_t>(column), source_row));
      drew_row = true;
    }
    if (drew_row) ++rows_drawn;
  }
  return rows_drawn;
}

}  // namespace

int32_t CopyImage(DrawSurface& surface, const BlitArea& dest, int64_t src_x, int64_t src_bottom,
                  uint32_t scan_lines, const DeviceImage& image) {
  return Blit(surface, dest, {src_x, src_bottom, dest.width, dest.height}, scan_lines, image);
}

int32_t StretchImage(DrawSurface& surface, const BlitArea& dest, const BlitArea& src,
                     const DeviceImage& image) {
  return Blit(surface, dest, src, image.height, image);
}

}  // namespace quillon
