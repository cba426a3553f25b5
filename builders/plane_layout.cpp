#include "builders/plane_layout.h"

#include "image/dib.h"
#include "util/byte_reader.h"

namespace quillon {

namespace {

// The pixel values of one image row, read from its bytes as CDib::GetPixel reads them, one
// reader a bit count.
struct Pixels1 {
  const uint8_t* row;
  uint32_t operator()(uint32_t x) const { return row[x / 8] >> (7 - x % 8) & 1u; }
};
struct Pixels4 {
  const uint8_t* row;
  uint32_t operator()(uint32_t x) const {
    return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;
  }
};
struct Pixels8 {
  const uint8_t* row;
  uint32_t operator()(uint32_t x) const { return row[x]; }
};
struct Pixels16 {
  const uint8_t* row;
  uint32_t operator()(uint32_t x) const { return LoadU16Le(row + 2 * size_t{x}); }
};
struct Pixels24 {
  const uint8_t* row;
  uint32_t operator()(uint32_t x) const { return LoadLe(row + 3 * size_t{x}, 3); }
};
struct Pixels32 {
  const uint8_t* row;
  uint32_t operator()(uint32_t x) const { return LoadU32Le(row + 4 * size_t{x}); }
};
// An image of a bit count without pixel access reads as zeros.
struct NoPixels {
  uint32_t operator()(uint32_t) const { return 0; }
};

// One function a layout: pixels 0 to columns - 1 into the row's planes, `width` bytes apart.
template <typename Pixels>
void SplitIndex8(Pixels pixels, uint32_t columns, uint32_t, uint8_t* row) {
  for (uint32_t x = 0; x < columns; ++x) row[x] = static_cast<uint8_t>(pixels(x));
}

// Pixels packed most significant bits first: each byte is made whole, so that a partly covered
// last byte keeps zeros for the columns the image does not reach.
template <typename Pixels>
void SplitIndexBits(Pixels pixels, uint32_t bits, uint32_t columns, uint8_t* row) {
  const uint32_t per_byte = 8 / bits;
  const uint32_t mask = (1u << bits) - 1;
  for (uint32_t x = 0; x < columns; x += per_byte) {
    uint32_t byte = 0;
    for (uint32_t k = 0; k < per_byte; ++k) {
      const uint32_t value = x + k < columns ? pixels(x + k) & mask : 0;
      byte |= value << (8 - bits * (k + 1));
    }
    row[x / per_byte] = static_cast<uint8_t>(byte);
  }
}

template <typename Pixels>
void SplitHighLow16(Pixels pixels, uint32_t columns, uint32_t width, uint8_t* row) {
  uint8_t* low = row + width;
  for (uint32_t x = 0; x < columns; ++x) {
    const uint16_t q = ToRgb1555(pixels(x));
    row[x] = static_cast<uint8_t>(q >> 8);
    low[x] = static_cast<uint8_t>(q);
  }
}

template <typename Pixels>
void SplitArgb32(Pixels pixels, uint32_t columns, uint32_t width, uint8_t* row) {
  uint8_t* red = row + width;
  uint8_t* green = red + width;
  uint8_t* blue = green + width;
  for (uint32_t x = 0; x < columns; ++x) {
    const uint32_t value = pixels(x);
    row[x] = static_cast<uint8_t>(value >> 24);
    red[x] = static_cast<uint8_t>(value >> 16);
    green[x] = static_cast<uint8_t>(value >> 8);
    blue[x] = static_cast<uint8_t>(value);
  }
}

// Calls `split` with the reader of row y of the image, by its bit count.
template <typename Split>
void WithRowPixels(const CDib& image, int32_t y, Split split) {
  const size_t buffer_row = static_cast<size_t>(image.GetHeight() - 1 - y);
  const uint8_t* row = image.GetBits() + buffer_row * static_cast<size_t>(image.GetStride());
  switch (image.GetBitCount()) {
    case 1:
      return split(Pixels1{row});
    case 4:
      return split(Pixels4{row});
    case 8:
      return split(Pixels8{row});
    case 16:
      return split(Pixels16{row});
    case 24:
      return split(Pixels24{row});
    case 32:
      return split(Pixels32{row});
    default:
      ReportRefusedAccess();  // what reading such pixels one by one reports
      return split(NoPixels{});
  }
}

}  // namespace

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
  if (columns == 0) return;
  WithRowPixels(image, y, [&](auto pixels) {
    switch (layout) {
      case PlaneLayout::kIndex1:
      case PlaneLayout::kIndex2:
      case PlaneLayout::kIndex4:
        return SplitIndexBits(pixels, IndexBits(layout), columns, row);
      case PlaneLayout::kIndex8:
        return SplitIndex8(pixels, columns, width, row);
      case PlaneLayout::kHighLow16:
        return SplitHighLow16(pixels, columns, width, row);
      case PlaneLayout::kArgb32:
        return SplitArgb32(pixels, columns, width, row);
    }
  });
}

}  // namespace quillon
