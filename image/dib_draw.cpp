// CDib::Draw: the image onto a drawing surface, copied or stretched.
#include "image/dib.h"
#include "image/draw_surface.h"

namespace quillon {

namespace {

// A 5-5-5 pixel with each channel widened by three zero bits, as GDI shows 16-bit bitmaps.
uint32_t Expand555(uint32_t value) {
  return (value >> 10 & 31u) << 19 | (value >> 5 & 31u) << 11 | (value & 31u) << 3;
}

// The pixel as the device shows it: looked up in the colour table below 16 bits.
uint32_t DeviceColor(const CDib& dib, int32_t x, int32_t y) {
  const uint32_t value = dib.GetPixel(x, y);
  switch (dib.GetBitCount()) {
    case 1:
    case 4:
    case 8:
      return dib.GetColorTableEntry(value);
    case 16:
      return Expand555(value);
    default:
      return value & 0x00FFFFFFu;
  }
}

bool SameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

BlitArea AreaOf(int64_t x, int64_t y, const Rect& rect) {
  return {x, y, int64_t{rect.right} - rect.left, int64_t{rect.bottom} - rect.top};
}

}  // namespace

bool CDib::Draw(DrawSurface& surface, const Palette* palette, const Rect& dest,
                const Rect& src) const {
  if (!HasImage() || !HasPixelAccess(GetBitCount())) return false;
  const DeviceImage image = {GetWidth(), GetHeight(),
                             [this](int32_t x, int32_t y) { return DeviceColor(*this, x, y); }};
  const Palette* previous = palette != nullptr ? surface.SelectPalette(palette) : nullptr;
  const BlitArea destArea = AreaOf(dest.left, dest.top, dest);
  int32_t scanLines = 0;
  if (SameRect(dest, src)) {
    // The copy counts source rows from the bottom and takes the height as a 16-bit count.
    scanLines = surface.CopyImage(destArea, src.left, int64_t{GetHeight()} - src.bottom,
                                  static_cast<uint16_t>(GetHeight()), image);
  } else {
    // src.top goes to the stretch unchanged, where it too counts from the bottom.
    scanLines = surface.StretchImage(destArea, AreaOf(src.left, src.top, src), image);
  }
  if (palette != nullptr) surface.SelectPalette(previous);
  return scanLines >= 1;
}

}  // namespace quillon
