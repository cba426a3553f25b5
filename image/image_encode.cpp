#include "image/image_encode.h"

#include <algorithm>

#include "image/bitmap_header.h"
#include "util/byte_reader.h"

namespace quillon {

namespace {

constexpr size_t kColorTableEntries = 256;
constexpr size_t kBmpHeaders = kBmpFileHeaderSize + kInfoHeaderSize + 4 * kColorTableEntries;
constexpr size_t kTgaHeader = 18;
constexpr uint8_t kTgaTrueColor = 2;
constexpr uint8_t kTgaTopRowFirst = 0x20;
constexpr uint8_t kTgaAlphaBits = 8;

// An uncompressed true-colour TGA (type 2), top row first: each pixel's low `bytes_per_pixel`
// bytes (3: blue, green, red; 4: and alpha).
std::vector<uint8_t> EncodeTrueColorTga(uint16_t width, uint16_t height, int bytes_per_pixel,
                                        const PixelSource& pixel) {
  const auto pixel_size = static_cast<size_t>(bytes_per_pixel);
  std::vector<uint8_t> file(kTgaHeader + pixel_size * width * height, 0);
  uint8_t* p = file.data();
  p[2] = kTgaTrueColor;
  StoreU16Le(p + 12, width);
  StoreU16Le(p + 14, height);
  p[16] = static_cast<uint8_t>(8 * bytes_per_pixel);
  p[17] = static_cast<uint8_t>((bytes_per_pixel == 4 ? kTgaAlphaBits : 0) | kTgaTopRowFirst);
  uint8_t* out = p + kTgaHeader;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x, out += pixel_size) {
      StoreLe(out, pixel(x, y), bytes_per_pixel);
    }
  }
  return file;
}

}  // namespace

std::vector<uint8_t> EncodeIndexedBmp(uint32_t width, uint32_t height, const PixelSource& pixel,
                                      const std::vector<uint32_t>& palette) {
  const uint64_t stride = (uint64_t{width} + 3) / 4 * 4;
  const uint64_t image_size = stride * height;
  if (image_size > UINT32_MAX - kBmpHeaders || width > INT32_MAX || height > INT32_MAX) return {};
  std::vector<uint8_t> file(kBmpHeaders + static_cast<size_t>(image_size), 0);
  uint8_t* p = file.data();
  WriteBmpFileHeader(static_cast<uint32_t>(file.size()), static_cast<uint32_t>(kBmpHeaders), p);
  uint8_t* info = p + kBmpFileHeaderSize;
  BitmapInfoHeader header{};
  header.biSize = static_cast<uint32_t>(kInfoHeaderSize);
  header.biWidth = static_cast<int32_t>(width);
  header.biHeight = static_cast<int32_t>(height);
  header.biPlanes = 1;
  header.biBitCount = 8;
  header.biSizeImage = static_cast<uint32_t>(image_size);
  header.biClrUsed = static_cast<uint32_t>(kColorTableEntries);
  header.biClrImportant = static_cast<uint32_t>(kColorTableEntries);
  WriteInfoHeader(header, info);
  uint8_t* table = info + kInfoHeaderSize;
  const size_t colors = std::min(palette.size(), kColorTableEntries);
  for (size_t i = 0; i < colors; ++i) StoreU32Le(table + 4 * i, palette[i] & 0xFFFFFFu);
  uint8_t* bits = p + kBmpHeaders;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = bits + (size_t{height} - 1 - y) * stride;
    for (uint32_t x = 0; x < width; ++x) row[x] = static_cast<uint8_t>(pixel(x, y));
  }
  return file;
}

std::vector<uint8_t> EncodeTga32(uint16_t width, uint16_t height, const PixelSource& pixel) {
  return EncodeTrueColorTga(width, height, 4, pixel);
}

std::vector<uint8_t> EncodeTga24(uint16_t width, uint16_t height, const PixelSource& pixel) {
  return EncodeTrueColorTga(width, height, 3, pixel);
}

}  // namespace quillon
