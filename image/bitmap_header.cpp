#include "image/bitmap_header.h"

#include <limits>

namespace quillon {

bool ReadInfoHeader(const ByteReader& bytes, size_t offset, BitmapInfoHeader& header) {
  if (!bytes.Has(offset, kInfoHeaderSize)) return false;
  BitmapInfoHeader h{};
  const bool read =
      bytes.U32Le(offset, h.biSize) && bytes.I32Le(offset + 4, h.biWidth) &&
      bytes.I32Le(offset + 8, h.biHeight) && bytes.U16Le(offset + 12, h.biPlanes) &&
      bytes.U16Le(offset + 14, h.biBitCount) && bytes.U32Le(offset + 16, h.biCompression) &&
      bytes.U32Le(offset + 20, h.biSizeImage) && bytes.I32Le(offset + 24, h.biXPelsPerMeter) &&
      bytes.I32Le(offset + 28, h.biYPelsPerMeter) && bytes.U32Le(offset + 32, h.biClrUsed) &&
      bytes.U32Le(offset + 36, h.biClrImportant);
  if (read) header = h;
  return read;
}

void WriteInfoHeader(const BitmapInfoHeader& header, uint8_t* out) {
  StoreU32Le(out, header.biSize);
  StoreU32Le(out + 4, static_cast<uint32_t>(header.biWidth));
  StoreU32Le(out + 8, static_cast<uint32_t>(header.biHeight));
  StoreU16Le(out + 12, header.biPlanes);
  StoreU16Le(out + 14, header.biBitCount);
  StoreU32Le(out + 16, header.biCompression);
  StoreU32Le(out + 20, header.biSizeImage);
  StoreU32Le(out + 24, static_cast<uint32_t>(header.biXPelsPerMeter));
  StoreU32Le(out + 28, static_cast<uint32_t>(header.biYPelsPerMeter));
  StoreU32Le(out + 32, header.biClrUsed);
  StoreU32Le(out + 36, header.biClrImportant);
}

void WriteBmpFileHeader(uint32_t file_size, uint32_t pixels_offset, uint8_t* out) {
  StoreU16Le(out, kBmpMagic);
  StoreU32Le(out + 2, file_size);
  StoreU32Le(out + 6, 0);
  StoreU32Le(out + 10, pixels_offset);
}

bool PixelBufferSize(uint64_t stride, uint64_t rows, uint64_t& size) {
  if (stride > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) return false;
  uint64_t product = 0;
  if (!CheckedMul(stride, rows, product) || product > std::numeric_limits<uint32_t>::max()) {
    return false;
  }
  size = product;
  return true;
}

}  // namespace quillon
