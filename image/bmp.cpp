// BMP files: the header block and the pixel rows are taken as they stand, after checking that
// they are what the rest of the class can address safely.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "image/dib.h"
#include "image/image_decode.h"
#include "image/image_file.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

constexpr uint64_t kMinOffBits = kBmpFileHeaderSize + kInfoHeaderSize;
constexpr size_t kMaskBytes = 12;  // red, green and blue masks after a 40-byte header

struct FileHeader {
  uint16_t type;
  uint32_t size;
  uint32_t offBits;
};

// Where the parts of an accepted file lie and what the image made from it holds.
struct BmpLayout {
  FileHeader file;
  BitmapInfoHeader header;
  size_t masksInHeader;  // mask bytes a later header version holds inside itself
  size_t blockSize;      // the normalized header block: 40 bytes, masks, colour table
  uint64_t stride;
  uint64_t rows;
  uint64_t imageSize;
  bool topDown;
};

ImageStatus ReadFileHeader(const ByteReader& file, FileHeader& out) {
  if (!file.U16Le(0, out.type)) return ImageStatus::kTruncated;
  if (out.type != kBmpMagic) return ImageStatus::kBadSignature;
  if (!file.U32Le(2, out.size) || !file.U32Le(10, out.offBits)) return ImageStatus::kTruncated;
  return ImageStatus::kOk;
}

// The file header's blocks against each other and the file, before any header field is used.
ImageStatus CheckBlocks(const ByteReader& file, const FileHeader& fileHeader) {
  uint32_t biSize = 0;
  if (!file.U32Le(kBmpFileHeaderSize, biSize)) return ImageStatus::kTruncated;
  // OS/2 headers (12 or 16 bytes) keep 16-bit sizes and 3-byte colour entries.
  if (biSize < kInfoHeaderSize) return ImageStatus::kUnsupportedHeader;
  if (fileHeader.offBits < kMinOffBits || fileHeader.size < fileHeader.offBits) {
    return ImageStatus::kBadHeader;
  }
  if (fileHeader.offBits > file.size()) return ImageStatus::kTruncated;
  return ImageStatus::kOk;
}

// Compressions other than bit fields at 16 and 32 bits do not store plain rows.
ImageStatus CheckPixelFormat(const BitmapInfoHeader& header) {
  if (header.biCompression != kBmpUncompressed && header.biCompression != kBmpBitFields) {
    return ImageStatus::kUnsupportedCompression;
  }
  if (!HasPixelAccess(header.biBitCount)) return ImageStatus::kUnsupportedDepth;
  if (header.biCompression == kBmpBitFields && header.biBitCount != 16 && header.biBitCount != 32) {
    return ImageStatus::kUnsupportedCompression;
  }
  return ImageStatus::kOk;
}

ImageStatus CheckInfoHeader(const BitmapInfoHeader& header, uint64_t rawBlockSize) {
  if (header.biSize > rawBlockSize || header.biWidth < 0 ||
      header.biHeight == std::numeric_limits<int32_t>::min()) {
    return ImageStatus::kBadHeader;
  }
  // An empty picture has nothing to rebuild a member from.
  if (header.biWidth == 0 || header.biHeight == 0) return ImageStatus::kEmptyImage;
  return CheckPixelFormat(header);
}

// Later header versions (V4, V5, OS/2 2.x) are cut down to the 40-byte header the class reads,
// keeping the bit-field masks where a 40-byte header keeps them and the colour table after.
void SizeHeaderBlock(const FileHeader& fileHeader, BmpLayout& layout) {
  const BitmapInfoHeader& header = layout.header;
  layout.masksInHeader =
      header.biCompression == kBmpBitFields && header.biSize >= kInfoHeaderSize + kMaskBytes
          ? kMaskBytes
          : 0;
  layout.blockSize = kInfoHeaderSize + layout.masksInHeader +
                     (fileHeader.offBits - kBmpFileHeaderSize - header.biSize);
}

ImageStatus SizeRows(const ByteReader& file, BmpLayout& layout) {
  const BitmapInfoHeader& header = layout.header;
  layout.topDown = header.biHeight < 0;
  layout.rows = static_cast<uint64_t>(std::abs(static_cast<int64_t>(header.biHeight)));
  layout.stride = RowStride(static_cast<uint32_t>(header.biWidth), header.biBitCount);
  if (!PixelBufferSize(layout.stride, layout.rows, layout.imageSize)) {
    return ImageStatus::kTooLarge;
  }
  if (layout.imageSize > layout.file.size - layout.file.offBits ||
      !RangeWithin(layout.file.offBits, layout.imageSize, file.size())) {
    return ImageStatus::kTruncated;
  }
  return ImageStatus::kOk;
}

ImageStatus ReadLayout(const ByteReader& file, BmpLayout& layout) {
  ImageStatus status = ReadFileHeader(file, layout.file);
  if (status == ImageStatus::kOk) status = CheckBlocks(file, layout.file);
  if (status != ImageStatus::kOk) return status;
  if (!ReadInfoHeader(file, kBmpFileHeaderSize, layout.header)) return ImageStatus::kTruncated;
  status = CheckInfoHeader(layout.header, layout.file.offBits - kBmpFileHeaderSize);
  if (status != ImageStatus::kOk) return status;
  SizeHeaderBlock(layout.file, layout);
  if (layout.blockSize < kInfoHeaderSize + 4 * uint64_t{layout.header.biClrUsed}) {
    return ImageStatus::kBadHeader;  // a colour table reaching into the pixels
  }
  return SizeRows(file, layout);
}

// The header block after its first 40 bytes, which Adopt writes.
void CopyHeaderBlockTail(const uint8_t* data, const BmpLayout& layout, uint8_t* block) {
  const uint8_t* raw = data + kBmpFileHeaderSize;
  std::memcpy(block + kInfoHeaderSize, raw + kInfoHeaderSize, layout.masksInHeader);
  const size_t rest = layout.blockSize - kInfoHeaderSize - layout.masksInHeader;
  if (rest != 0) {
    std::memcpy(block + kInfoHeaderSize + layout.masksInHeader, raw + layout.header.biSize, rest);
  }
}

// Rows into the buffer bottom row first, so that pixel access reaches every row of a top-down
// file too.
void CopyRows(const uint8_t* data, const BmpLayout& layout, uint8_t* bits) {
  const uint8_t* pixels = data + layout.file.offBits;
  const auto stride = static_cast<size_t>(layout.stride);
  const auto rows = static_cast<size_t>(layout.rows);
  if (!layout.topDown) {
    std::memcpy(bits, pixels, static_cast<size_t>(layout.imageSize));
    return;
  }
  for (size_t r = 0; r < rows; ++r) {
    std::memcpy(bits + (rows - 1 - r) * stride, pixels + r * stride, stride);
  }
}

}  // namespace

ImageStatus DecodeBmp(const uint8_t* data, size_t size, CDib& image) {
  image.Destroy();
  const ByteReader file(data, size);
  BmpLayout layout{};
  const ImageStatus status = ReadLayout(file, layout);
  if (status != ImageStatus::kOk) return status;

  const auto imageSize = static_cast<size_t>(layout.imageSize);
  std::unique_ptr<uint8_t[]> info(new (std::nothrow) uint8_t[layout.blockSize]);
  std::unique_ptr<uint8_t[]> bits(new (std::nothrow) uint8_t[imageSize]);
  if (!info || !bits) return ImageStatus::kOutOfMemory;
  CopyHeaderBlockTail(data, layout, info.get());
  CopyRows(data, layout, bits.get());

  BitmapInfoHeader header = layout.header;
  header.biSize = static_cast<uint32_t>(kInfoHeaderSize);
  header.biHeight = static_cast<int32_t>(layout.rows);
  // The file's own biSizeImage is not trusted.
  header.biSizeImage = static_cast<uint32_t>(layout.imageSize);
  image.Adopt(header, std::move(info), layout.blockSize, std::move(bits), imageSize,
              static_cast<int32_t>(layout.stride));
  return ImageStatus::kOk;
}

bool CDib::SaveBmp(const char* path) const {
  if (!m_pInfo || !HasPixelAccess(Header().biBitCount)) return false;
  const BitmapInfoHeader& header = Header();
  // Bit fields are written with their masks, or readers would take the colour table for them.
  uint64_t masks = 0;
  if (header.biCompression == kBmpBitFields) {
    masks = kMaskBytes;
  } else if (header.biCompression != kBmpUncompressed) {
    return false;
  }
  const uint64_t blockBytes = kInfoHeaderSize + masks + 4 * uint64_t{header.biClrUsed};
  const uint64_t offBits = kBmpFileHeaderSize + blockBytes;
  const uint64_t fileSize = offBits + header.biSizeImage;
  if (blockBytes > m_nInfoSize || header.biSizeImage > m_nBitsSize ||
      fileSize > std::numeric_limits<uint32_t>::max()) {
    return false;
  }

  uint8_t fileHeader[kBmpFileHeaderSize];
  WriteBmpFileHeader(static_cast<uint32_t>(fileSize), static_cast<uint32_t>(offBits), fileHeader);
  image_file::Stream stream = image_file::Open(path, "wb");
  return stream && image_file::WriteExactly(stream.get(), fileHeader, kBmpFileHeaderSize) &&
         image_file::WriteExactly(stream.get(), m_pInfo.get(), static_cast<size_t>(blockBytes)) &&
         image_file::WriteExactly(stream.get(), m_pBits.get(), header.biSizeImage) &&
         std::fclose(stream.release()) == 0;
}

}  // namespace quillon
