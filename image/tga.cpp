// TGA files: uncompressed colour-mapped and true-colour images in, greyscale and true-colour out.
// Rows move in bulk: a file row holds exactly the bytes of a buffer row's pixels.
#include <algorithm>
#include <cstring>
#include <vector>

#include "image/dib.h"
#include "image/image_file.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

constexpr size_t kHeaderSize = 18;
constexpr uint8_t kColorMapped = 1;
constexpr uint8_t kTrueColor = 2;
constexpr uint8_t kGreyscale = 3;
constexpr uint8_t kTopRowFirst = 0x20;
constexpr uint8_t kHasColorMap = 1;

struct TgaHeader {
  uint8_t idLength;
  uint8_t colorMapType;
  uint8_t imageType;
  uint16_t mapFirst;
  uint16_t mapLength;
  uint8_t mapEntryBits;
  uint16_t width;
  uint16_t height;
  uint8_t depth;
  uint8_t descriptor;
};

TgaHeader ParseHeader(const uint8_t (&b)[kHeaderSize]) {
  return {b[0],
          b[1],
          b[2],
          LoadU16Le(b + 3),
          LoadU16Le(b + 5),
          b[7],
          LoadU16Le(b + 12),
          LoadU16Le(b + 14),
          b[16],
          b[17]};
}

// Bytes of one colour-map entry as stored; 0 for an entry size the reader cannot expand.
size_t MapEntryBytes(uint8_t entryBits) {
  switch (entryBits) {
    case 15:
    case 16:
      return 2;
    case 24:
      return 3;
    case 32:
      return 4;
    default:
      return 0;
  }
}

// Bytes of colour map between the image ID and the pixels: read for a colour-mapped image,
// skipped for any other that declares one.
uint64_t ColorMapBytes(const TgaHeader& header) {
  if (header.imageType == kColorMapped) {
    return static_cast<uint64_t>(header.mapLength) * MapEntryBytes(header.mapEntryBits);
  }
  if (header.colorMapType != kHasColorMap) return 0;
  return static_cast<uint64_t>(header.mapLength) * ((header.mapEntryBits + 7u) / 8u);
}

// A 5-bit channel spread over 0 to 255.
uint32_t Expand5(uint32_t value) { return (value & 31u) * 255u / 31u; }

// A stored map entry as a colour-table value (blue | green << 8 | red << 16 | extra << 24).
uint32_t DecodeMapEntry(const uint8_t* p, size_t bytes) {
  switch (bytes) {
    case 2: {
      const uint32_t v = LoadU16Le(p);
      return Expand5(v) | Expand5(v >> 5) << 8 | Expand5(v >> 10) << 16;
    }
    case 3:
      return LoadU16Le(p) | static_cast<uint32_t>(p[2]) << 16;
    default:
      return LoadU32Le(p);
  }
}

// Which buffer row a file row lands in: the buffer keeps the bottom row first.
size_t BufferRowOfFileRow(size_t fileRow, size_t rows, bool topRowFirst) {
  return topRowFirst ? rows - 1 - fileRow : fileRow;
}

}  // namespace

bool CDib::LoadTga(const char* path) {
  uint8_t headerBytes[kHeaderSize];
  uint64_t fileLength = 0;
  const image_file::Stream stream =
      image_file::OpenWithHeader(path, headerBytes, kHeaderSize, fileLength);
  if (!stream) return false;
  const TgaHeader header = ParseHeader(headerBytes);
  // Nothing is allocated for a depth that has no whole bytes per pixel or for pixels that the
  // file does not hold.
  if (header.depth == 0 || header.depth % 8 != 0 || header.depth > 32) return false;
  const size_t pixelBytes = header.depth / 8u;
  const size_t rowBytes = header.width * pixelBytes;
  const uint64_t mapOffset = kHeaderSize + header.idLength;
  const uint64_t pixelOffset = mapOffset + ColorMapBytes(header);
  if (!RangeWithin(pixelOffset, static_cast<uint64_t>(rowBytes) * header.height, fileLength)) {
    return false;
  }

  // A failed allocation leaves the pixels null behind a valid header.
  if (!Create(header.depth, header.width, header.height)) return false;
  if (header.imageType == kColorMapped) {
    const size_t entryBytes = MapEntryBytes(header.mapEntryBits);
    if (header.depth != 8 || (entryBytes == 0 && header.mapLength != 0)) return false;
    std::vector<uint8_t> map(header.mapLength * entryBytes);
    std::vector<uint32_t> entries(header.mapLength);
    if (std::fseek(stream.get(), static_cast<long>(mapOffset), SEEK_SET) != 0 ||
        !image_file::ReadExactly(stream.get(), map.data(), map.size())) {
      return false;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
      entries[i] = DecodeMapEntry(map.data() + i * entryBytes, entryBytes);
    }
    // Entries beyond the colour table are dropped.
    const int32_t room = static_cast<int32_t>(Header().biClrUsed) - header.mapFirst;
    SetPalette(header.mapFirst, std::min<int32_t>(room, header.mapLength), entries.data(), false);
  } else if (header.imageType != kTrueColor || (header.depth != 24 && header.depth != 32)) {
    return false;
  }

  const bool topRowFirst = (header.descriptor & kTopRowFirst) != 0;
  m_bBottomUp = !topRowFirst;
  if (std::fseek(stream.get(), static_cast<long>(pixelOffset), SEEK_SET) != 0) return false;
  for (size_t r = 0; r < header.height; ++r) {
    uint8_t* row = BufferRow(BufferRowOfFileRow(r, header.height, topRowFirst));
    if (!image_file::ReadExactly(stream.get(), row, rowBytes)) return false;
  }
  return true;
}

bool CDib::SaveTga(const char* path) const {
  if (!m_pInfo) return false;
  const BitmapInfoHeader& info = Header();
  const int bitCount = info.biBitCount;
  // The header keeps 16-bit sizes.
  if ((bitCount != 8 && bitCount != 24 && bitCount != 32) || info.biWidth > 0xFFFF ||
      info.biHeight > 0xFFFF) {
    return false;
  }
  const bool greyscale = bitCount == 8;
  const bool bottomRowFirst = !greyscale && m_bBottomUp;
  uint8_t header[kHeaderSize] = {};
  header[2] = greyscale ? kGreyscale : kTrueColor;
  header[12] = static_cast<uint8_t>(info.biWidth);
  header[13] = static_cast<uint8_t>(info.biWidth >> 8);
  header[14] = static_cast<uint8_t>(info.biHeight);
  header[15] = static_cast<uint8_t>(info.biHeight >> 8);
  header[16] = static_cast<uint8_t>(bitCount);
  // The low four bits count the bits of alpha or grey beyond the colour channels.
  header[17] = static_cast<uint8_t>((bitCount == 24 ? 0 : 8) | (bottomRowFirst ? 0 : kTopRowFirst));

  image_file::Stream stream = image_file::Open(path, "wb");
  if (!stream || !image_file::WriteExactly(stream.get(), header, kHeaderSize)) return false;
  const auto rows = static_cast<size_t>(info.biHeight);
  const size_t rowBytes = static_cast<size_t>(info.biWidth) * static_cast<size_t>(bitCount / 8);
  for (size_t r = 0; r < rows; ++r) {
    const uint8_t* row = BufferRow(BufferRowOfFileRow(r, rows, !bottomRowFirst));
    if (!image_file::WriteExactly(stream.get(), row, rowBytes)) return false;
  }
  return std::fclose(stream.release()) == 0;
}

}  // namespace quillon
