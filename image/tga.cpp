// TGA files: uncompressed colour-mapped and true-colour images in, greyscale and true-colour out.
// Rows move in bulk: a file row holds exactly the bytes of a buffer row's pixels.
#include <algorithm>
#include <array>
#include <cstring>

#include "image/dib.h"
#include "image/image_decode.h"
#include "image/image_file.h"
#include "image/tga_format.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

struct TgaHeader {
  uint8_t id_length;
  uint8_t color_map_type;
  uint8_t image_type;
  uint16_t map_first;
  uint16_t map_length;
  uint8_t map_entry_bits;
  uint16_t width;
  uint16_t height;
  uint8_t depth;
  uint8_t descriptor;
};

bool ReadHeader(const ByteReader& file, TgaHeader& h) {
  return file.U8(0, h.id_length) && file.U8(1, h.color_map_type) && file.U8(2, h.image_type) &&
         file.U16Le(3, h.map_first) && file.U16Le(5, h.map_length) &&
         file.U8(7, h.map_entry_bits) && file.U16Le(12, h.width) && file.U16Le(14, h.height) &&
         file.U8(16, h.depth) && file.U8(17, h.descriptor);
}

// Bytes of one colour-map entry as stored; 0 for an entry size the reader cannot expand.
size_t MapEntryBytes(uint8_t entry_bits) {
  switch (entry_bits) {
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
  if (header.image_type == kTgaColorMapped) {
    return static_cast<uint64_t>(header.map_length) * MapEntryBytes(header.map_entry_bits);
  }
  if (header.color_map_type != kTgaHasColorMap) return 0;
  return static_cast<uint64_t>(header.map_length) * ((header.map_entry_bits + 7u) / 8u);
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
  if (header.image_type == kTgaColorMapped) {
    const bool readable_map = MapEntryBytes(header.map_entry_bits) != 0 || header.map_length == 0;
    return header.depth == 8 && readable_map ? ImageStatus::kOk : ImageStatus::kUnsupportedDepth;
  }
  if (header.image_type != kTgaTrueColor) return ImageStatus::kUnsupportedType;
  return header.depth == 24 || header.depth == 32 ? ImageStatus::kOk
                                                  : ImageStatus::kUnsupportedDepth;
}

// Which buffer row a file row lands in: the buffer keeps the bottom row first.
size_t BufferRowOfFileRow(size_t file_row, size_t rows, bool top_row_first) {
  return top_row_first ? rows - 1 - file_row : file_row;
}

// The map entries that land in the colour table; the file holds the whole map.
bool LoadColorMap(const uint8_t* map, const TgaHeader& header, CDib& image) {
  constexpr int32_t kTableEntries = 256;
  const int32_t count = std::min<int32_t>(kTableEntries - header.map_first, header.map_length);
  if (count < 1) return true;
  const size_t entry_bytes = MapEntryBytes(header.map_entry_bits);
  std::array<uint32_t, kTableEntries> entries{};
  for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
    entries[i] = DecodeMapEntry(map + i * entry_bytes, entry_bytes);
  }
  return image.SetPalette(header.map_first, count, entries.data(), false);
}

}  // namespace

ImageStatus DecodeTga(const uint8_t* data, size_t size, CDib& image) {
  const ByteReader file(data, size);
  // "BM" would be colour-map type 77, which no TGA has: a BMP saved under a TGA's name.
  if (file.Matches(0, "BM", 2)) return ImageStatus::kBmpNotTga;
  TgaHeader header{};
  if (!ReadHeader(file, header)) return ImageStatus::kTruncated;
  if (header.depth == 0 || header.depth % 8 != 0 || header.depth > 32) {
    return ImageStatus::kUnsupportedDepth;
  }
  if (header.width == 0 || header.height == 0) return ImageStatus::kEmptyImage;
  const ImageStatus format = CheckFormat(header);
  const size_t row_bytes = header.width * (header.depth / 8u);
  const uint64_t map_offset = kTgaHeaderSize + header.id_length;
  const uint64_t pixel_offset = map_offset + ColorMapBytes(header);
  // Nothing is allocated for pixels that the file does not hold.
  if (!RangeWithin(pixel_offset, uint64_t{row_bytes} * header.height, size)) {
    return format == ImageStatus::kOk ? ImageStatus::kTruncated : format;
  }
  // Rows the file fills are not zeroed first: loading large files is bound by memory passes.
  const ImageStatus created =
      image.CreateImage(header.depth, header.width, header.height, format != ImageStatus::kOk);
  if (created != ImageStatus::kOk) return created;
  if (format != ImageStatus::kOk) return format;
  if (header.image_type == kTgaColorMapped && !LoadColorMap(data + map_offset, header, image)) {
    image.Destroy();
    return ImageStatus::kOutOfMemory;
  }

  const bool top_row_first = (header.descriptor & kTgaTopRowFirst) != 0;
  image.bottom_up_ = !top_row_first;
  const uint8_t* pixels = data + pixel_offset;
  const auto stride = static_cast<size_t>(image.GetStride());
  for (size_t r = 0; r < header.height; ++r) {
    uint8_t* row = image.BufferRow(BufferRowOfFileRow(r, header.height, top_row_first));
    std::memcpy(row, pixels + r * row_bytes, row_bytes);
    std::memset(row + row_bytes, 0, stride - row_bytes);
  }
  return ImageStatus::kOk;
}

bool CDib::SaveTga(const char* path) const {
  if (!info_) return false;
  const BitmapInfoHeader& info = Header();
  const int bit_count = info.biBitCount;
  // The header keeps 16-bit sizes.
  if ((bit_count != 8 && bit_count != 24 && bit_count != 32) || info.biWidth > 0xFFFF ||
      info.biHeight > 0xFFFF) {
    return false;
  }
  const bool greyscale = bit_count == 8;
  const bool bottom_row_first = !greyscale && bottom_up_;
  uint8_t header[kTgaHeaderSize];
  StoreTgaHeader(header, greyscale ? kTgaGreyscale : kTgaTrueColor,
                 static_cast<uint16_t>(info.biWidth), static_cast<uint16_t>(info.biHeight),
                 static_cast<uint8_t>(bit_count), bit_count == 24 ? 0 : 8, !bottom_row_first);

  image_file::Stream stream = image_file::Open(path, "wb");
  if (!stream || !image_file::WriteExactly(stream.get(), header, kTgaHeaderSize)) return false;
  const auto rows = static_cast<size_t>(info.biHeight);
  const size_t row_bytes = static_cast<size_t>(info.biWidth) * static_cast<size_t>(bit_count / 8);
  for (size_t r = 0; r < rows; ++r) {
    const uint8_t* row = BufferRow(BufferRowOfFileRow(r, rows, !bottom_row_first));
    if (!image_file::WriteExactly(stream.get(), row, row_bytes)) return false;
  }
  return std::fclose(stream.release()) == 0;
}

}  // namespace quillon
