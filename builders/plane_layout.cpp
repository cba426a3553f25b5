#include "builders/plane_layout.h"

#include "image/dib.h"

namespace quillon {

RowGeometry MemberGeometry(const CastBitmapInfo& info, uint32_t bytes_per_pixel) {
  const uint32_t even_bytes = (bytes_per_pixel * info.width + 1) / 2 * 2;
  const uint32_t pixels_per_row = even_bytes / bytes_per_pixel;
  return {info.width, info.height, bytes_per_pixel * pixels_per_row};
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
  for (uint32_t x = 0; x < columns; ++x) {
    const uint32_t value = image.GetPixel(static_cast<int32_t>(x), y);
    switch (layout) {
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
