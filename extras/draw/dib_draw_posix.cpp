// Without GDI the image reaches the drawing surface through its own copies, each pixel shown as
// the device would show it.
#include "extras/draw/device_draw.h"
#include "extras/draw/surface_blit.h"

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

DeviceImage DeviceImageOf(const CDib& dib) {
  return {dib.GetWidth(), dib.GetHeight(),
          [&dib](int32_t x, int32_t y) { return DeviceColor(dib, x, y); }};
}

BlitArea AreaOf(int64_t x, int64_t y, const Rect& rect) {
  return {x, y, int64_t{rect.right} - rect.left, int64_t{rect.bottom} - rect.top};
}

}  // namespace

int32_t CopyToDevice(DrawSurface& surface, const CDib& dib, const Rect& dest, const Rect& src) {
  return CopyImage(surface, AreaOf(dest.left, dest.top, dest), src.left,
                   int64_t{dib.GetHeight()} - src.bottom,
                   static_cast<uint16_t>(dib.GetHeight()), DeviceImageOf(dib));
}

int32_t StretchToDevice(DrawSurface& surface, const CDib& dib, const Rect& dest, const Rect& src) {
  return StretchImage(surface, AreaOf(dest.left, dest.top, dest), AreaOf(src.left, src.top, src),
                      DeviceImageOf(dib));
}

}  // namespace quillon
