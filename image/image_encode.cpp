#include "image/image_encode.h"

#include <algorithm>

#include "util/byte_reader.h"

namespace quillon {

namespace {

constexpr size_t kBmpFileHeader = 14;
constexpr size_t kBmpInfoHeader = 40;
constexpr size_t kColorTableEntries = 256;
constexpr size_t kBmpHeaders = kBmpFileHeader + kBmpInfoHeader + 4 * kColorTableEntries;
constexpr size_t kTgaHeader = 18;
constexpr uint8_t kTgaTrueColor = 2;
constexpr uint8_t kTgaTopRowFirst = 0x20;
constexpr uint8_t kTgaAlphaBits = 8;

}  // namespace

std::vector<uint8_t> EncodeIndexedBmp(uint32_t width, uint32_t height, const PixelSource& pixel,
                                      const std::vector<uint32_t>& palette) {
  const uint64_t stride = (uint64_t{width} + 3) / 4 * 4;
  const uint64_t image_size = stride * height;
  if (image_size > UINT32_MAX - kBmpHeaders || width > INT32_MAX || height > INT32_MAX) return {};
  std::vector<uint8_t> file(kBmpHeaders + static_cast<size_t>(image_size), 0);
  uint8_t* p = file.data();
  p[0] = 'B';
  p[1] = 'M';
  StoreU32Le(p + 2, static_cast<uint32_t>(file.size()));
  StoreU32Le(p + 10, static_cast<uint32_t>(kBmpHeaders));
  uint8_t* info = p + kBmpFileHeader;
  StoreU32Le(info, static_cast<uint32_t>(kBmpInfoHeader));
  StoreU32Le(info + 4, width);
  StoreU32Le(info + 8, height);
  StoreU16Le(info + 12, 1);   // planes
  StoreU16Le(info + 14, 8);   // bits per pixel
  StoreU32Le(info + 20, static_cast<uint32_t>(image_size));
  StoreU32Le(info + 32, static_cast<uint32_t>(kColorTableEntries));
  StoreU32Le(info + 36, static_cast<uint32_t>(kColorTableEntries));
  uint8_t* table = info + kBmpInfoHeader;
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
  std::vector<uint8_t> file(kTgaHeader + 4 * size_t{width} * height, 0);
  uint8_t* p = file.data();
  p[2] = kTgaTrueColor;
  StoreU16Le(p + 12, width);
  StoreU16Le(p + 14, height);
  p[16] = 32;
  p[17] = kTgaAlphaBits | kTgaTopRowFirst;
  uint8_t* out = p + kTgaHeader;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x, out += 4) StoreU32Le(out, pixel(x, y));
  }
  return file;
}

}  // namespace quillon
