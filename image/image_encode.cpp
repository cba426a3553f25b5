#include "image/image_encode.h"

#include <algorithm>

#include "image/bitmap_header.h"
#include "image/tga_format.h"
#include "util/byte_reader.h"

namespace quillon {

namespace {

constexpr uint8_t kTgaAlphaBits = 8;

// An uncompressed true-colour TGA (type 2), top row first: each pixel's low `bytes_per_pixel`
// bytes (3: blue, green, red; 4: and alpha).
std::vector<uint8_t> EncodeTrueColorTga(uint16_t width, uint16_t height, int bytes_per_pixel,
                                        const PixelSource& pixel) {
  const auto pixel_size = static_cast<size_t>(bytes_per_pixel);
  std::vector<uint8_t> file(kTgaHeaderSize + pixel_size * width * height, 0);
  StoreTgaHeader(file.data(), kTgaTrueColor, width, height,
                 static_cast<uint8_t>(8 * bytes_per_pixel),
                 bytes_per_pixel == 4 ? kTgaAlphaBits : 0, true);
  uint8_t* out = file.data() + kTgaHeaderSize;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x, out += pixel_size) {
      StoreLe(out, pixel(x, y), bytes_per_pixel);
    }
  }
  return file;
}

}  // namespace

std::vector<uint8_t> EncodeIndexedBmp(int bit_count, uint32_t width, uint32_t height,
                                      const PixelSource& pixel,
                                      const std::vector<uint32_t>& palette) {
  const auto bits = static_cast<uint32_t>(bit_count);
  const size_t entries = size_t{1} << bits;
  const uint64_t headers = kBmpFileHeaderSize + kInfoHeaderSize + 4 * uint64_t{entries};
  const uint64_t stride = RowStride(width, bits);
  const uint64_t image_size = stride * height;
  if (image_size > UINT32_MAX - headers || width > INT32_MAX || height > INT32_MAX) return {};
  std::vector<uint8_t> file(static_cast<size_t>(headers + image_size), 0);
  uint8_t* p = file.data();
  WriteBmpFileHeader(static_cast<uint32_t>(file.size()), static_cast<uint32_t>(headers), p);
  uint8_t* info = p + kBmpFileHeaderSize;
  BitmapInfoHeader header{};
  header.biSize = static_cast<uint32_t>(kInfoHeaderSize);
  header.biWidth = static_cast<int32_t>(width);
  header.biHeight = static_cast<int32_t>(height);
  header.biPlanes = 1;
  header.biBitCount = static_cast<uint16_t>(bits);
  header.biSizeImage = static_cast<uint32_t>(image_size);
  header.biClrUsed = static_cast<uint32_t>(entries);
  header.biClrImportant = static_cast<uint32_t>(entries);
  WriteInfoHeader(header, info);
  uint8_t* table = info + kInfoHeaderSize;
  const size_t colors = std::min(palette.size(), entries);
  for (size_t i = 0; i < colors; ++i) StoreU32Le(table + 4 * i, palette[i] & 0xFFFFFFu);
  uint8_t* rows = p + headers;
  const uint32_t mask = (1u << bits) - 1;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = rows + (size_t{height} - 1 - y) * stride;
    for (uint32_t x = 0; x < width; ++x) {
      // Most significant bits first, as BMP rows hold them.
      const uint64_t bit = uint64_t{x} * bits;
      const uint32_t shift = 8 - bits - static_cast<uint32_t>(bit % 8);
      row[bit / 8] = static_cast<uint8_t>(row[bit / 8] | (pixel(x, y) & mask) << shift);
    }
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
