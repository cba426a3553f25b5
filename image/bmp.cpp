// BMP files: the header block and the pixel rows are taken as they stand, after checking that
// they are what the rest of the class can address safely.
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <vector>

#include "image/dib.h"
#include "image/image_file.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

constexpr uint16_t kBmpMagic = 0x4D42;  // "BM"
constexpr size_t kFileHeaderSize = 14;
constexpr size_t kInfoHeaderSize = sizeof(BitmapInfoHeader);
constexpr uint32_t kUncompressed = 0;
constexpr uint32_t kBitFields = 3;
constexpr size_t kMaskBytes = 12;  // red, green and blue masks after a 40-byte header

struct FileHeader {
  uint16_t type;
  uint32_t size;
  uint32_t offBits;
};

FileHeader ParseFileHeader(const uint8_t (&bytes)[kFileHeaderSize]) {
  return {LoadU16Le(bytes), LoadU32Le(bytes + 2), LoadU32Le(bytes + 10)};
}

// Bit fields at 16 and 32 bits still store plain rows; every other compression does not.
bool HasPlainRows(const BitmapInfoHeader& header) {
  return header.biCompression == kUncompressed ||
         (header.biCompression == kBitFields &&
          (header.biBitCount == 16 || header.biBitCount == 32));
}

bool IsAcceptableHeader(const BitmapInfoHeader& header, size_t blockSize) {
  // An empty picture is refused too: it has nothing to rebuild a member from.
  return header.biSize >= kInfoHeaderSize && header.biSize <= blockSize && header.biWidth > 0 &&
         header.biHeight != 0 && header.biHeight != std::numeric_limits<int32_t>::min() &&
         HasPixelAccess(header.biBitCount) && HasPlainRows(header);
}

// Later header versions (V4, V5, OS/2 2.x) are cut down to the 40-byte header the class reads,
// keeping the bit-field masks where a 40-byte header keeps them and the colour table after.
std::vector<uint8_t> NormalizeHeaderBlock(const std::vector<uint8_t>& raw,
                                          const BitmapInfoHeader& header) {
  std::vector<uint8_t> block(raw.begin(), raw.begin() + kInfoHeaderSize);
  if (header.biCompression == kBitFields && header.biSize >= kInfoHeaderSize + kMaskBytes) {
    block.insert(block.end(), raw.begin() + kInfoHeaderSize,
                 raw.begin() + kInfoHeaderSize + kMaskBytes);
  }
  block.insert(block.end(), raw.begin() + header.biSize, raw.end());
  StoreU32Le(block.data(), static_cast<uint32_t>(kInfoHeaderSize));
  return block;
}

// Reverses the order of `rows` rows of `stride` bytes in place.
void FlipRows(uint8_t* bits, size_t stride, size_t rows) {
  std::vector<uint8_t> scratch(stride);
  for (size_t top = 0, bottom = rows; top + 1 < bottom; ++top, --bottom) {
    uint8_t* a = bits + top * stride;
    uint8_t* b = bits + (bottom - 1) * stride;
    std::memcpy(scratch.data(), a, stride);
    std::memcpy(a, b, stride);
    std::memcpy(b, scratch.data(), stride);
  }
}

}  // namespace

bool CDib::LoadBmp(const char* path) {
  Destroy();
  uint8_t fileHeaderBytes[kFileHeaderSize];
  uint64_t fileLength = 0;
  const image_file::Stream stream =
      image_file::OpenWithHeader(path, fileHeaderBytes, kFileHeaderSize, fileLength);
  if (!stream) return false;
  const FileHeader fileHeader = ParseFileHeader(fileHeaderBytes);
  // Every block is checked against what the file really holds before it is allocated.
  if (fileHeader.type != kBmpMagic || fileHeader.offBits < kFileHeaderSize + kInfoHeaderSize ||
      fileHeader.size < fileHeader.offBits || fileHeader.offBits > fileLength) {
    return false;
  }

  std::vector<uint8_t> raw(fileHeader.offBits - kFileHeaderSize);
  if (!image_file::ReadExactly(stream.get(), raw.data(), raw.size())) return false;
  BitmapInfoHeader header;
  std::memcpy(&header, raw.data(), kInfoHeaderSize);
  if (!IsAcceptableHeader(header, raw.size())) return false;
  const std::vector<uint8_t> block = NormalizeHeaderBlock(raw, header);
  if (block.size() < kInfoHeaderSize + 4 * static_cast<uint64_t>(header.biClrUsed)) return false;

  const bool topDown = header.biHeight < 0;
  const auto rows = static_cast<uint64_t>(std::abs(static_cast<int64_t>(header.biHeight)));
  const uint64_t stride = (static_cast<uint64_t>(header.biWidth) * header.biBitCount + 31) / 32 * 4;
  const uint64_t imageSize = stride * rows;
  if (stride > std::numeric_limits<int32_t>::max() ||
      imageSize > std::numeric_limits<uint32_t>::max() ||
      imageSize > fileHeader.size - fileHeader.offBits ||
      !RangeWithin(fileHeader.offBits, imageSize, fileLength)) {
    return false;
  }

  std::unique_ptr<uint8_t[]> bits(new (std::nothrow) uint8_t[imageSize]);
  std::unique_ptr<uint8_t[]> info(new (std::nothrow) uint8_t[block.size()]);
  if (!bits || !info ||
      !image_file::ReadExactly(stream.get(), bits.get(), static_cast<size_t>(imageSize))) {
    return false;
  }
  // Top-down files become bottom-up images, so that pixel access reaches every row.
  if (topDown) FlipRows(bits.get(), static_cast<size_t>(stride), static_cast<size_t>(rows));

  std::memcpy(info.get(), block.data(), block.size());
  m_pInfo = std::move(info);
  m_nInfoSize = block.size();
  m_pBits = std::move(bits);
  m_nBitsSize = static_cast<size_t>(imageSize);
  m_nStride = static_cast<int32_t>(stride);
  Header().biHeight = static_cast<int32_t>(rows);
  Header().biSizeImage = static_cast<uint32_t>(imageSize);
  return true;
}

bool CDib::SaveBmp(const char* path) const {
  if (!m_pInfo) return false;
  const BitmapInfoHeader& header = Header();
  const uint64_t tableSize = 4 * static_cast<uint64_t>(header.biClrUsed);
  if (kInfoHeaderSize + tableSize > m_nInfoSize || header.biSizeImage > m_nBitsSize) return false;
  const auto offBits = static_cast<uint32_t>(kFileHeaderSize + kInfoHeaderSize + tableSize);

  uint8_t fileHeader[kFileHeaderSize] = {'B', 'M'};
  StoreU32Le(fileHeader + 2, offBits + header.biSizeImage);
  StoreU32Le(fileHeader + 10, offBits);
  image_file::Stream stream = image_file::Open(path, "wb");
  return stream && image_file::WriteExactly(stream.get(), fileHeader, kFileHeaderSize) &&
         image_file::WriteExactly(stream.get(), m_pInfo.get(), offBits - kFileHeaderSize) &&
         image_file::WriteExactly(stream.get(), m_pBits.get(), header.biSizeImage) &&
         std::fclose(stream.release()) == 0;
}

}  // namespace quillon
