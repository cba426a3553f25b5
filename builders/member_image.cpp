#include "builders/member_image.h"

#include "builders/member_rows.h"
#include "image/image_encode.h"

namespace quillon {

namespace {

uint32_t Widen5(uint32_t value) {
  const uint32_t v = value & 0x1Fu;
  return v << 3 | v >> 2;
}

}  // namespace

uint32_t WidenRgb1555(uint16_t value) {
  const uint32_t alpha = (value & 0x8000u) != 0 ? 0xFFu : 0;
  return alpha << 24 | Widen5(value >> 10u) << 16 | Widen5(value >> 5u) << 8 | Widen5(value);
}

std::vector<uint8_t> EncodeMemberImage(const std::vector<uint8_t>& rows,
                                       const RowGeometry& geometry, PlaneLayout layout,
                                       const std::vector<uint32_t>& palette) {
  const auto stored = [&](uint32_t x, uint32_t y) {
    return RowPixel(rows, geometry, layout, x, y);
  };
  switch (layout) {
    case PlaneLayout::kIndex1:
      return EncodeIndexedBmp(1, geometry.width, geometry.height, stored, palette);
    case PlaneLayout::kIndex2:  // many readers take no 2-bit BMP
    case PlaneLayout::kIndex4:
      return EncodeIndexedBmp(4, geometry.width, geometry.height, stored, palette);
    case PlaneLayout::kIndex8:
      return EncodeIndexedBmp(8, geometry.width, geometry.height, stored, palette);
    case PlaneLayout::kHighLow16:
      return EncodeTga32(static_cast<uint16_t>(geometry.width),
                         static_cast<uint16_t>(geometry.height), [&](uint32_t x, uint32_t y) {
                           return WidenRgb1555(static_cast<uint16_t>(stored(x, y)));
                         });
    case PlaneLayout::kArgb32:
      return EncodeTga32(static_cast<uint16_t>(geometry.width),
                         static_cast<uint16_t>(geometry.height), stored);
  }
  return {};
}

std::vector<uint32_t> GreyPalette() {
  std::vector<uint32_t> greys(256);
  for (uint32_t i = 0; i < greys.size(); ++i) greys[i] = i * 0x010101u;
  return greys;
}

}  // namespace quillon
