// Pixels as colours, and a colour's length.
#include "extras/image/dib_color.h"

#include "image/color_distance.h"

namespace quillon {

uint32_t GetColor(const CDib& dib, int32_t x, int32_t y) {
  if (!dib.HasImage()) return 0;
  switch (dib.GetBitCount()) {
    case 4:
    case 8:
      return dib.GetColorTableEntry(dib.GetPixel(x, y));
    case 16:
      // 16-bit pixels have no colour meaning of their own here.
      return 0;
    case 24:
    case 32:
      return dib.GetPixel(x, y);
    default:
      ReportRefusedAccess();
      return 0;
  }
}

int32_t ColorNorm(uint32_t color) { return ColorDistance(color, 0, 3); }

}  // namespace quillon
