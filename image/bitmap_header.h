#pragma once
// The 40-byte BITMAPINFOHEADER that starts every image's header block, read and written field
// by field in little-endian order, and the row and buffer sizes it implies.

#include <cstddef>
#include <cstdint>

#include "util/byte_reader.h"

namespace quillon {

struct BitmapInfoHeader {
  uint32_t biSize;
  int32_t biWidth;
  int32_t biHeight;
  uint16_t biPlanes;
  uint16_t biBitCount;
  uint32_t biCompression;
  uint32_t biSizeImage;
  int32_t biXPelsPerMeter;
  int32_t biYPelsPerMeter;
  uint32_t biClrUsed;
  uint32_t biClrImportant;
};
// Callers use the struct's size as the colour table's offset in the header block.
static_assert(sizeof(BitmapInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");

inline constexpr size_t kInfoHeaderSize = 40;

// The BMP file header in front of the header block: "BM", the file size, two reserved words and
// the offset of the pixels.
inline constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"
inline constexpr size_t kBmpFileHeaderSize = 14;
// biCompression values the decoder takes.
inline constexpr uint32_t kBmpUncompressed = 0;
inline constexpr uint32_t kBmpBitFields = 3;

// The header stored at `offset`; false when the bytes end before it does.
bool ReadInfoHeader(const ByteReader& bytes, size_t offset, BitmapInfoHeader& header);
// The header's 40 bytes at `out`.
void WriteInfoHeader(const BitmapInfoHeader& header, uint8_t* out);
// The BMP file header's 14 bytes at `out`.
void WriteBmpFileHeader(uint32_t file_size, uint32_t pixels_offset, uint8_t* out);

// Bytes per row: whole 32-bit words. Exact for every 32-bit width and 16-bit bit count.
inline uint64_t RowStride(uint32_t width, uint32_t bit_count) {
  return (uint64_t{width} * bit_count + 31) / 32 * 4;
}

// Rows of `stride` bytes that a header can describe: the stride within int32 and the buffer
// within the 32-bit biSizeImage. On true `size` is the buffer's size.
bool PixelBufferSize(uint64_t stride, uint64_t rows, uint64_t& size);

}  // namespace quillon
