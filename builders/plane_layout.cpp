#include "builders/plane_layout.h"

#include "image/dib.h"

namespace quillon {

RowGeometry MemberGeometry(const CastBitmapInfo& info, uint32_t bits_per_pixel) {
  return {info.width, info.height, (bits_per_pixel * info.width + 15) / 16 * 2};
}

uint32_t IndexBits(PlaneLayout layout) {
  switch (layout) {
    case PlaneLayout::kIndex1:
      return 1;
    case PlaneLayout::kIndex2:
      return 2;
    case PlaneLayout::kIndex4:
      return 4;
    case PlaneLayout::kIndex8:
      return 8;
    case PlaneLayout::kHighLow16:
    case PlaneLayout::kArgb32:
      break;
  }
  return 0;
}

bool PlaneFits(const RowGeometry& geometry) {
  return uint64_t{geometry.row_bytes} * geometry.height <= kMaxPlaneBytes;
}

uint16_t ToRgb1555(uint32_t argb) {
  const uint32_t alpha = argb >> 31;
  const uint32_t red = (argb >> 19) & 0x1F;
  const uint32_t green = (argb >> 11) & 0x1F;
  const uint32_t blue = (argb >> 3) & 0x1F;
  return static_cast<uint16_t>(alpha << 15 | red << 10 | green << 5 | blue);
}

void FillRow(const CDib& image, PlaneLayout layout, int32_t y, uint32_t columns, uint32_t width,
             uint8_t* row) {
  const uint32_t bits = IndexBits(layout);
  for (uint32_t x = 0; x < columns; ++x) {
    const uint32_t value = image.GetPixel(static_cast<int32_t>(x), y);
    switch (layout) {
      case PlaneLayout::kIndex1:
      case PlaneLayout::kIndex2:
      case PlaneLayout::kIndex4: {
        // Most significant bits first; the row starts zeroed, so or-ing places the pixel.
        const uint32_t bit = x * bits;
        const uint32_t shift = 8 - bits - bit % 8;
        row[bit / 8] = static_cast<uint8_t>(row[bit / 8] | (value & ((1u << bits) - 1)) << shift);
        break;
      }
      case PlaneLayout::kIndex8:
        row[x] = static_cast<uint8_t>(value);
        break;
      case PlaneLayout::kHighLow16: {
        const uint16_t q = ToRgb1555(value);
        row[x] = static_cast<uint8_t>(q >> 8);
        row[width + x] = static_cast<uint8_t>(q);
        break;
      }
      case PlaneLayout::kArgb32:
        row[x] = static_cast<uint8_t>(value >> 24);
        row[width + x] = static_cast<uint8_t>(value >> 16);
        row[2 * size_t{width} + x] = static_cast<uint8_t>(value >> 8);
        row[3 * size_t{width} + x] = static_cast<uint8_t>(value);
        break;
    }
  }
}

}  // namespace quillon
