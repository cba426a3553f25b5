// Draw: the image into a device context, copied or stretched.
#include "extras/draw/dib_draw.h"

#include "extras/draw/device_draw.h"

namespace quillon {

namespace {

bool SameRect(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

bool Draw(const CDib& dib, DrawSurface& surface, const Palette* palette, const Rect& dest,
          const Rect& src) {
  if (!dib.HasImage() || !HasPixelAccess(dib.GetBitCount())) return false;
  const Palette* previous = palette != nullptr ? surface.SelectPalette(palette) : nullptr;
  const int32_t scan_lines = SameRect(dest, src) ? CopyToDevice(surface, dib, dest, src)
                                                : StretchToDevice(surface, dib, dest, src);
  if (palette != nullptr) surface.SelectPalette(previous);
  return scan_lines >= 1;
}

}  // namespace quillon
