#include "image/draw_surface.h"

#include <algorithm>
#include <limits>
#include <new>

#include "util/checked_math.h"

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

}  // namespace

Rect IntersectRects(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

bool RectContains(const Rect& rect, int64_t x, int64_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

bool DrawSurface::Create(int32_t width, int32_t height) {
  pixels_.reset();
  width_ = height_ = 0;
  if (width < 0 || height < 0) return false;
  size_t count = 0;
  size_t bytes = 0;
  if (!CheckedMul(static_cast<size_t>(width), static_cast<size_t>(height), count) ||
      !CheckedMul(count, sizeof(uint32_t), bytes)) {
    return false;
  }
  pixels_.reset(new (std::nothrow) uint32_t[count]());
  if (!pixels_) return false;
  width_ = width;
  height_ = height;
  return true;
}

uint32_t DrawSurface::GetPixel(int64_t x, int64_t y) const {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) return kInvalidColor;
  return pixels_[static_cast<size_t>(y * width_ + x)];
}

void DrawSurface::SetPixel(int64_t x, int64_t y, uint32_t value) {
  if (x < 0 || x >= width_ || y < 0 || y >= height_) return;
  pixels_[static_cast<size_t>(y * width_ + x)] = value;
}

void DrawSurface::FillRect(const Rect& rect, uint32_t value) {
  const Rect inside = IntersectRects(rect, {0, 0, width_, height_});
  for (int64_t y = inside.top; y < inside.bottom; ++y) {
    for (int64_t x = inside.left; x < inside.right; ++x) SetPixel(x, y, value);
  }
}

const Palette* DrawSurface::SelectPalette(const Palette* palette) {
  const Palette* previous = palette_;
  palette_ = palette;
  return previous;
}

int32_t DrawSurface::CopyImage(const BlitArea& dest, int64_t srcX, int64_t srcBottom,
                               uint32_t scanLines, const DeviceImage& image) {
  return Blit(dest, {srcX, srcBottom, dest.width, dest.height}, scanLines, image);
}

int32_t DrawSurface::StretchImage(const BlitArea& dest, const BlitArea& src,
                                  const DeviceImage& image) {
  return Blit(dest, src, image.height, image);
}

int32_t DrawSurface::Blit(const BlitArea& dest, const BlitArea& src, int64_t availableRows,
                          const DeviceImage& image) {
  if (!ExtentUsable(dest.width) || !ExtentUsable(dest.height) || !ExtentUsable(src.width) ||
      !ExtentUsable(src.height) || !ImageComplete(image)) {
    return 0;
  }
  const int64_t rows = std::min<int64_t>(availableRows, image.height);
  // Only destination pixels on the surface are visited, however large the area.
  const int64_t firstRow = std::max<int64_t>(0, -dest.y);
  const int64_t endRow = std::min<int64_t>(dest.height, height_ - dest.y);
  const int64_t firstColumn = std::max<int64_t>(0, -dest.x);
  const int64_t endColumn = std::min<int64_t>(dest.width, width_ - dest.x);
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
      SetPixel(dest.x + i, dest.y + k, image.colorAt(static_cast<int32_t>(column), sourceRow));
      drewRow = true;
    }
    if (drewRow) ++rowsDrawn;
  }
  return rowsDrawn;
}

}  // namespace quillon
