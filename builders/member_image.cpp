#include "builders/member_image.h"

#include "builders/member_rows.h"
#include "image/image_encode.h"

namespace quillon {

namespace {

uint32_t Widen5(uint32_t value) {
  const uint32_t v = value & 0x1Fu;
  return v << 3 | v >> 2;
}

bool AnyAlpha(const RowGeometry& geometry, const PixelSource& argb) {
  for (uint32_t y = 0; y < geometry.height; ++y) {
    for (uint32_t x = 0; x < geometry.width; ++x) {
      if (argb(x, y) >> 24 != 0) return true;
    }
  }
  return false;
}

// Viewers draw a 32-bit TGA through its alpha channel, so a picture whose alpha is 0 all over
// would show nothing: it goes out at 24 bits, which the run reads back as alpha 0 all the same.
std::vector<uint8_t> EncodeTrueColorImage(const RowGeometry& geometry, const PixelSource& argb) {
  const auto width = static_cast<uint16_t>(geometry.width);
  const auto height = static_cast<uint16_t>(geometry.height);
  return AnyAlpha(geometry, argb) ? EncodeTga32(width, height, argb)
                                  : EncodeTga24(width, height, argb);
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
      return EncodeTrueColorImage(geometry, [&](uint32_t x, uint32_t y) {
        return WidenRgb1555(static_cast<uint16_t>(stored(x, y)));
      });
    case PlaneLayout::kArgb32:
      return EncodeTrueColorImage(geometry, stored);
  }
  return {};
}

std::vector<uint32_t> GreyPalette() {
  std::vector<uint32_t> greys(256);
  for (uint32_t i = 0; i < greys.size(); ++i) greys[i] = i * 0x010101u;
  return greys;
}

}  // namespace quillon
