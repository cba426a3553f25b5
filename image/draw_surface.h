#pragma once
// What stands for a GDI memory device context where there is no GDI: a 32-bit drawing surface,
// rows top-down, that CDib::Draw copies or stretches a bitmap into and fonts draw text onto.
//
// How it follows GDI:
// - Pixels are 32-bit values kept exactly as written. Bitmap pixels arrive as colours
//   (blue | green << 8 | red << 16), as a 32-bit DIB section holds them.
// - Both copies read their source y counted from the bitmap's bottom row, as SetDIBitsToDevice
//   and StretchDIBits do for a bottom-up bitmap; the source rectangle's top row lands on the
//   destination's top row.
// - Stretching is always by nearest pixel, as the COLORONCOLOR stretch mode does; no other mode
//   exists here, so none is kept.
// - Zero or negative extents draw nothing (GDI would mirror negative ones).
// - The selected palette is only remembered: colours reach a 32-bit surface unmapped.
// - Both copies return the number of destination rows that received at least one pixel.

#include <cstdint>
#include <functional>
#include <memory>

#include "image/dib.h"

namespace quillon {

// A bitmap as the copies read it: its size and the colour of pixel (x, y), y counted from the top.
// Only pixels inside the size are asked for, and only those that land on the surface.
struct DeviceImage {
  int32_t width = 0;
  int32_t height = 0;
  std::function<uint32_t(int32_t x, int32_t y)> colorAt;
};

// A rectangle as origin and extent; wide enough for the difference of two 32-bit coordinates.
struct BlitArea {
  int64_t x, y, width, height;
};

// The part two rectangles share; empty (right <= left or bottom <= top) when they do not meet.
Rect IntersectRects(const Rect& a, const Rect& b);
// Left and top edges belong to the rectangle, right and bottom edges do not.
bool RectContains(const Rect& rect, int64_t x, int64_t y);

class DrawSurface {
 public:
  // Value that GetPixel gives outside the surface, as GDI's CLR_INVALID.
  static constexpr uint32_t kInvalidColor = 0xFFFFFFFFu;

  DrawSurface() = default;
  // A zeroed surface; false (and an empty surface) when the size is negative or cannot be held.
  bool Create(int32_t width, int32_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  uint32_t GetPixel(int64_t x, int64_t y) const;
  // Writes outside the surface are dropped.
  void SetPixel(int64_t x, int64_t y, uint32_t value);
  void FillRect(const Rect& rect, uint32_t value);

  // Returns the palette selected before.
  const Palette* SelectPalette(const Palette* palette);
  const Palette* selected_palette() const { return palette_; }

  // SetDIBitsToDevice: dest.width x dest.height pixels from the source area whose lower-left
  // pixel is (srcX, srcBottom) to `dest`. Only the image's first `scanLines` rows from the
  // bottom are available.
  int32_t CopyImage(const BlitArea& dest, int64_t srcX, int64_t srcBottom, uint32_t scanLines,
                    const DeviceImage& image);
  // StretchDIBits: the source area (its y the lower-left pixel's row, counted from the bottom)
  // scaled by nearest pixel onto `dest`.
  int32_t StretchImage(const BlitArea& dest, const BlitArea& src, const DeviceImage& image);

 private:
  int32_t Blit(const BlitArea& dest, const BlitArea& src, int64_t availableRows,
               const DeviceImage& image);

  int32_t width_ = 0;
  int32_t height_ = 0;
  std::unique_ptr<uint32_t[]> pixels_;
  const Palette* palette_ = nullptr;
};

}  // namespace quillon
