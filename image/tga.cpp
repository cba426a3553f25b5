// TGA files: uncompressed colour-mapped and true-colour images in, greyscale and true-colour out.
// Rows move in bulk: a file row holds exactly the bytes of a buffer row's pixels.
#include <algorithm>
#include <array>
#include <cstring>

#include "image/dib.h"
#include "image/image_decode.h"
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

bool ReadHeader(const ByteReader& file, TgaHeader& h) {
  return file.U8(0, h.idLength) && file.U8(1, h.colorMapType) && file.U8(2, h.imageType) &&
         file.U16Le(3, h.mapFirst) && file.U16Le(5, h.mapLength) && file.U8(7, h.mapEntryBits) &&
         file.U16Le(12, h.width) && file.U16Le(14, h.height) && file.U8(16, h.depth) &&
         file.U8(17, h.descriptor);
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
    default:
      return LoadLe(p, static_cast<int>(bytes));
  }
}

// Why the class does not read a file of this type and depth; kOk when it does.
ImageStatus CheckFormat(const TgaHeader& header) {
  if (header.imageType == kColorMapped) {
    const bool readableMap = MapEntryBytes(header.mapEntryBits) != 0 || header.mapLength == 0;
    return header.depth == 8 && readableMap ? ImageStatus::kOk : ImageStatus::kUnsupportedDepth;
  }
  if (header.imageType != kTrueColor) return ImageStatus::kUnsupportedType;
  return header.depth == 24 || header.depth == 32 ? ImageStatus::kOk
                                                  : ImageStatus::kUnsupportedDepth;
}

// Which buffer row a file row lands in: the buffer keeps the bottom row first.
size_t BufferRowOfFileRow(size_t fileRow, size_t rows, bool topRowFirst) {
  return topRowFirst ? rows - 1 - fileRow : fileRow;
}

// The map entries that land in the colour table; the file holds the whole map.
bool LoadColorMap(const uint8_t* map, const TgaHeader& header, CDib& image) {
  constexpr int32_t kTableEntries = 256;
  const int32_t count = std::min<int32_t>(kTableEntries - header.mapFirst, header.mapLength);
  if (count < 1) return true;
  const size_t entryBytes = MapEntryBytes(header.mapEntryBits);
  std::array<uint32_t, kTableEntries> entries{};
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    entries[i] = DecodeMapEntry(map + i * entryBytes, entryBytes);
  }
  return image.SetPalette(header.mapFirst, count, entries.data(), false);
}

}  // namespace

ImageStatus DecodeTga(const uint8_t* data, size_t size, CDib& image) {
  const ByteReader file(data, size);
  TgaHeader header{};
  if (!ReadHeader(file, header)) return ImageStatus::kTruncated;
  if (header.depth == 0 || header.depth % 8 != 0 || header.depth > 32) {
    return ImageStatus::kUnsupportedDepth;
  }
  if (header.width == 0 || header.height == 0) return ImageStatus::kEmptyImage;
  const ImageStatus format = CheckFormat(header);
  const size_t rowBytes = header.width * (header.depth / 8u);
  const uint64_t mapOffset = kHeaderSize + header.idLength;
  const uint64_t pixelOffset = mapOffset + ColorMapBytes(header);
  // Nothing is allocated for pixels that the file does not hold.
  if (!RangeWithin(pixelOffset, uint64_t{rowBytes} * header.height, size)) {
    return format == ImageStatus::kOk ? ImageStatus::kTruncated : format;
  }
  // Rows the file fills are not zeroed first: loading large files is bound by memory passes.
  const ImageStatus created =
      image.CreateImage(header.depth, header.width, header.height, format != ImageStatus::kOk);
  if (created != ImageStatus::kOk) return created;
  if (format != ImageStatus::kOk) return format;
  if (header.imageType == kColorMapped && !LoadColorMap(data + mapOffset, header, image)) {
    image.Destroy();
    return ImageStatus::kOutOfMemory;
  }

  const bool topRowFirst = (header.descriptor & kTopRowFirst) != 0;
  image.m_bBottomUp = !topRowFirst;
  const uint8_t* pixels = data + pixelOffset;
  const auto stride = static_cast<size_t>(image.GetStride());
  for (size_t r = 0; r < header.height; ++r) {
    uint8_t* row = image.BufferRow(BufferRowOfFileRow(r, header.height, topRowFirst));
    std::memcpy(row, pixels + r * rowBytes, rowBytes);
    std::memset(row + rowBytes, 0, stride - rowBytes);
  }
  return ImageStatus::kOk;
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
