// BMP files: the header block and the pixel rows are taken as they stand, after checking that
// they are what the rest of the class can address safely.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "image/bmp_rle.h"
#include "image/dib.h"
#include "image/image_decode.h"
#include "image/image_file.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

constexpr uint64_t kMinOffBits = kBmpFileHeaderSize + kInfoHeaderSize;
constexpr size_t kMaskBytes = 12;  // red, green and blue masks after a 40-byte header
// A run-length picture may decode to this much more than its bytes: runs of 255 pixels in two
// bytes, and ends of line over empty rows. Beyond it a few bytes would cost gigabytes.
constexpr uint64_t kRleExpansion = 256;
constexpr uint64_t kRleFreeBytes = uint64_t{1} << 20;

struct FileHeader {
  uint16_t type;
  uint32_t size;
  uint32_t off_bits;
};

// Where the parts of an accepted file lie and what the image made from it holds.
struct BmpLayout {
  FileHeader file;
  BitmapInfoHeader header;
  size_t masks_in_header;  // mask bytes a later header version holds inside itself
  size_t block_size;      // the normalized header block: 40 bytes, masks, colour table
  uint64_t stride;
  uint64_t rows;
  uint64_t image_size;
  uint64_t encoded_size;  // run-length pictures: the pixel bytes up to the file's end
  bool top_down;
};

bool IsRunLength(const BitmapInfoHeader& header) {
  return (header.biCompression == kBmpRle8 && header.biBitCount == 8) ||
         (header.biCompression == kBmpRle4 && header.biBitCount == 4);
}

ImageStatus ReadFileHeader(const ByteReader& file, FileHeader& out) {
  if (!file.U16Le(0, out.type)) return ImageStatus::kTruncated;
  if (out.type != kBmpMagic) return ImageStatus::kBadSignature;
  if (!file.U32Le(2, out.size) || !file.U32Le(10, out.off_bits)) return ImageStatus::kTruncated;
  return ImageStatus::kOk;
}

// The file header's blocks against each other and the file, before any header field is used.
ImageStatus CheckBlocks(const ByteReader& file, const FileHeader& file_header) {
  uint32_t biSize = 0;
  if (!file.U32Le(kBmpFileHeaderSize, biSize)) return ImageStatus::kTruncated;
  // OS/2 headers (12 or 16 bytes) keep 16-bit sizes and 3-byte colour entries.
  if (biSize < kInfoHeaderSize) return ImageStatus::kUnsupportedHeader;
  if (file_header.off_bits < kMinOffBits || file_header.size < file_header.off_bits) {
    return ImageStatus::kBadHeader;
  }
  if (file_header.off_bits > file.size()) return ImageStatus::kTruncated;
  return ImageStatus::kOk;
}

// Besides plain rows: bit fields at 16 and 32 bits, run-length pixels at 8 and 4 bits.
ImageStatus CheckPixelFormat(const BitmapInfoHeader& header) {
  if (IsRunLength(header)) return ImageStatus::kOk;
  if (header.biCompression != kBmpUncompressed && header.biCompression != kBmpBitFields) {
    return ImageStatus::kUnsupportedCompression;
  }
  if (!HasPixelAccess(header.biBitCount)) return ImageStatus::kUnsupportedDepth;
  if (header.biCompression == kBmpBitFields && header.biBitCount != 16 && header.biBitCount != 32) {
    return ImageStatus::kUnsupportedCompression;
  }
  return ImageStatus::kOk;
}

ImageStatus CheckInfoHeader(const BitmapInfoHeader& header, uint64_t raw_block_size) {
  if (header.biSize > raw_block_size || header.biWidth < 0 ||
      header.biHeight == std::numeric_limits<int32_t>::min()) {
    return ImageStatus::kBadHeader;
  }
  // An empty picture has nothing to rebuild a member from.
  if (header.biWidth == 0 || header.biHeight == 0) return ImageStatus::kEmptyImage;
  return CheckPixelFormat(header);
}

// Later header versions (V4, V5, OS/2 2.x) are cut down to the 40-byte header the class reads,
// keeping the bit-field masks where a 40-byte header keeps them and the colour table after.
void SizeHeaderBlock(const FileHeader& file_header, BmpLayout& layout) {
  const BitmapInfoHeader& header = layout.header;
  layout.masks_in_header =
      header.biCompression == kBmpBitFields && header.biSize >= kInfoHeaderSize + kMaskBytes
          ? kMaskBytes
          : 0;
  layout.block_size = kInfoHeaderSize + layout.masks_in_header +
                     (file_header.off_bits - kBmpFileHeaderSize - header.biSize);
}

ImageStatus SizeRows(const ByteReader& file, BmpLayout& layout) {
  const BitmapInfoHeader& header = layout.header;
  layout.top_down = header.biHeight < 0;
  layout.rows = static_cast<uint64_t>(std::abs(static_cast<int64_t>(header.biHeight)));
  layout.stride = RowStride(static_cast<uint32_t>(header.biWidth), header.biBitCount);
  if (!PixelBufferSize(layout.stride, layout.rows, layout.image_size)) {
    return ImageStatus::kTooLarge;
  }
  if (IsRunLength(header)) {
    layout.encoded_size = std::min<uint64_t>(layout.file.size, file.size()) - layout.file.off_bits;
    const bool within = layout.image_size <= kRleExpansion * layout.encoded_size + kRleFreeBytes;
    return within ? ImageStatus::kOk : ImageStatus::kTooLarge;
  }
  if (layout.image_size > layout.file.size - layout.file.off_bits ||
      !RangeWithin(layout.file.off_bits, layout.image_size, file.size())) {
    return ImageStatus::kTruncated;
  }
  return ImageStatus::kOk;
}

ImageStatus ReadLayout(const ByteReader& file, BmpLayout& layout) {
  ImageStatus status = ReadFileHeader(file, layout.file);
  if (status == ImageStatus::kOk) status = CheckBlocks(file, layout.file);
  if (status != ImageStatus::kOk) return status;
  if (!ReadInfoHeader(file, kBmpFileHeaderSize, layout.header)) return ImageStatus::kTruncated;
  status = CheckInfoHeader(layout.header, layout.file.off_bits - kBmpFileHeaderSize);
  if (status != ImageStatus::kOk) return status;
  SizeHeaderBlock(layout.file, layout);
  if (layout.block_size < kInfoHeaderSize + 4 * uint64_t{layout.header.biClrUsed}) {
    return ImageStatus::kBadHeader;  // a colour table reaching into the pixels
  }
  return SizeRows(file, layout);
}

// The header block after its first 40 bytes, which Adopt writes.
void CopyHeaderBlockTail(const uint8_t* data, const BmpLayout& layout, uint8_t* block) {
  const uint8_t* raw = data + kBmpFileHeaderSize;
  std::memcpy(block + kInfoHeaderSize, raw + kInfoHeaderSize, layout.masks_in_header);
  const size_t rest = layout.block_size - kInfoHeaderSize - layout.masks_in_header;
  if (rest != 0) {
    std::memcpy(block + kInfoHeaderSize + layout.masks_in_header, raw + layout.header.biSize, rest);
  }
}

// Rows into the buffer bottom row first, so that pixel access reaches every row of a top-down
// file too.
ImageStatus CopyRows(const uint8_t* data, const BmpLayout& layout, uint8_t* bits) {
  const uint8_t* pixels = data + layout.file.off_bits;
  if (IsRunLength(layout.header)) {
    std::memset(bits, 0, static_cast<size_t>(layout.image_size));
    const RlePlane plane{bits, layout.stride, static_cast<uint32_t>(layout.header.biWidth),
                         static_cast<uint32_t>(layout.rows), layout.top_down};
    return DecodeBmpRle(ByteReader(pixels, static_cast<size_t>(layout.encoded_size)),
                        layout.header.biBitCount, plane);
  }
  const auto stride = static_cast<size_t>(layout.stride);
  const auto rows = static_cast<size_t>(layout.rows);
  if (!layout.top_down) {
    std::memcpy(bits, pixels, static_cast<size_t>(layout.image_size));
    return ImageStatus::kOk;
  }
  for (size_t r = 0; r < rows; ++r) {
    std::memcpy(bits + (rows - 1 - r) * stride, pixels + r * stride, stride);
  }
  return ImageStatus::kOk;
}

}  // namespace

ImageStatus DecodeBmp(const uint8_t* data, size_t size, CDib& image) {
  image.Destroy();
  const ByteReader file(data, size);
  BmpLayout layout{};
  const ImageStatus status = ReadLayout(file, layout);
  if (status != ImageStatus::kOk) return status;

  const auto image_size = static_cast<size_t>(layout.image_size);
  std::unique_ptr<uint8_t[]> info(new (std::nothrow) uint8_t[layout.block_size]);
  std::unique_ptr<uint8_t[]> bits(new (std::nothrow) uint8_t[image_size]);
  if (!info || !bits) return ImageStatus::kOutOfMemory;
  CopyHeaderBlockTail(data, layout, info.get());
  const ImageStatus rows_status = CopyRows(data, layout, bits.get());
  if (rows_status != ImageStatus::kOk) return rows_status;

  BitmapInfoHeader header = layout.header;
  // Run-length pixels are plain rows once decoded.
  if (IsRunLength(header)) header.biCompression = kBmpUncompressed;
  header.biSize = static_cast<uint32_t>(kInfoHeaderSize);
  header.biHeight = static_cast<int32_t>(layout.rows);
  // The file's own biSizeImage is not trusted.
  header.biSizeImage = static_cast<uint32_t>(layout.image_size);
  image.Adopt(header, std::move(info), layout.block_size, std::move(bits), image_size,
              static_cast<int32_t>(layout.stride));
  return ImageStatus::kOk;
}

bool CDib::SaveBmp(const char* path) const {
  if (!info_ || !HasPixelAccess(Header().biBitCount)) return false;
  const BitmapInfoHeader& header = Header();
  // Bit fields are written with their masks, or readers would take the colour table for them.
  uint64_t masks = 0;
  if (header.biCompression == kBmpBitFields) {
    masks = kMaskBytes;
  } else if (header.biCompression != kBmpUncompressed) {
    return false;
  }
  const uint64_t block_bytes = kInfoHeaderSize + masks + 4 * uint64_t{header.biClrUsed};
  const uint64_t off_bits = kBmpFileHeaderSize + block_bytes;
  const uint64_t file_size = off_bits + header.biSizeImage;
  if (block_bytes > info_size_ || header.biSizeImage > bits_size_ ||
      file_size > std::numeric_limits<uint32_t>::max()) {
    return false;
  }

  uint8_t file_header[kBmpFileHeaderSize];
  WriteBmpFileHeader(static_cast<uint32_t>(file_size), static_cast<uint32_t>(off_bits),
                     file_header);
  image_file::Stream stream = image_file::Open(path, "wb");
  return stream && image_file::WriteExactly(stream.get(), file_header, kBmpFileHeaderSize) &&
         image_file::WriteExactly(stream.get(), info_.get(), static_cast<size_t>(block_bytes)) &&
         image_file::WriteExactly(stream.get(), bits_.get(), header.biSizeImage) &&
         std::fclose(stream.release()) == 0;
}

}  // namespace quillon
