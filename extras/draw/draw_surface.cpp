#include "extras/draw/draw_surface.h"

#include <algorithm>
#include <utility>

#include "util/checked_math.h"

namespace quillon {

Rect IntersectRects(const Rect& a, const Rect& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}

bool RectContains(const Rect& rect, int64_t x, int64_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

DrawSurface& DrawSurface::operator=(DrawSurface&& other) noexcept {
  DrawSurface old(std::move(*this));
  Swap(other);
  return *this;
}

void DrawSurface::Swap(DrawSurface& other) noexcept {
  std::swap(width_, other.width_);
  std::swap(height_, other.height_);
  std::swap(pixels_, other.pixels_);
  std::swap(palette_, other.palette_);
  std::swap(context_, other.context_);
  std::swap(bitmap_, other.bitmap_);
  std::swap(replacedBitmap_, other.replacedBitmap_);
}

bool DrawSurface::Create(int32_t width, int32_t height) {
  Release();
  width_ = height_ = 0;
  palette_ = nullptr;
  if (width < 0 || height < 0) return false;
  size_t count = 0;
  size_t bytes = 0;
  if (!CheckedMul(static_cast<size_t>(width), static_cast<size_t>(height), count) ||
      !CheckedMul(count, sizeof(uint32_t), bytes) || !Allocate(width, height)) {
    return false;
  }
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
  SelectNativePalette(palette);
  return previous;
}

}  // namespace quillon
