#pragma once
// A memory device context with a 32-bit drawing surface selected, rows top-down: what Draw
// copies or stretches a bitmap into. On Windows it is GDI's own (a DIB section in a context
// made with CreateCompatibleDC); elsewhere the surface alone stands for it.
//
// Pixels are 32-bit values kept exactly as written; bitmap pixels arrive as colours
// (blue | green << 8 | red << 16), as a 32-bit DIB section holds them.

#include <cstdint>

#include "extras/draw/rect.h"
#include "image/palette.h"

namespace quillon {

// The part two rectangles share; empty (right <= left or bottom <= top) when they do not meet.
Rect IntersectRects(const Rect& a, const Rect& b);
// Left and top edges belong to the rectangle, right and bottom edges do not.
bool RectContains(const Rect& rect, int64_t x, int64_t y);

class DrawSurface {
 public:
  // Value that GetPixel gives outside the surface, as GDI's CLR_INVALID.
  static constexpr uint32_t kInvalidColor = 0xFFFFFFFFu;

  DrawSurface() = default;
  ~DrawSurface() { Release(); }
  DrawSurface(DrawSurface&& other) noexcept { Swap(other); }
  DrawSurface& operator=(DrawSurface&& other) noexcept;
  DrawSurface(const DrawSurface&) = delete;
  DrawSurface& operator=(const DrawSurface&) = delete;

  // A zeroed surface; false (and an empty surface) when the size is negative or cannot be held.
  bool Create(int32_t width, int32_t height);

  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  uint32_t GetPixel(int64_t x, int64_t y) const;
  // Writes outside the surface are dropped.
  void SetPixel(int64_t x, int64_t y, uint32_t value);
  void FillRect(const Rect& rect, uint32_t value);

  // Selects the palette into the context (forced to the background) and returns the palette
  // selected before; null stands for the context's default palette.
  const Palette* SelectPalette(const Palette* palette);
  const Palette* selected_palette() const { return palette_; }

  // The device context: an HDC on Windows, null where there is no GDI. Whatever GDI drew into
  // it is in the pixels once GdiFlush has run.
  void* native_handle() const { return context_; }

 private:
  void Swap(DrawSurface& other) noexcept;
  // Makes the pixel store (and on Windows the context around it); false when it cannot.
  bool Allocate(int32_t width, int32_t height);
  void Release();
  void SelectNativePalette(const Palette* palette);

  int32_t width_ = 0;
  int32_t height_ = 0;
  uint32_t* pixels_ = nullptr;  // width_ x height_, owned by the platform side
  const Palette* palette_ = nullptr;
  void* context_ = nullptr;         // Windows: the memory context
  void* bitmap_ = nullptr;          // Windows: the DIB section selected into it
  void* replacedBitmap_ = nullptr;  // Windows: what the section replaced there
};

}  // namespace quillon
