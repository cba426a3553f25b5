#pragma once
// BMP and TGA files built in memory for tests, from one pixel value per pixel (top row first).

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::test {

struct BmpLayout {
  int bitCount = 8;
  int32_t width = 0;
  int32_t height = 0;             // negative: the rows are stored top row first
  std::vector<uint32_t> pixels;   // width x |height| values, top row first, in the depth's layout
  std::vector<uint32_t> palette;  // colour table (blue | green << 8 | red << 16)
  uint32_t compression = 0;
  uint32_t clrUsed = UINT32_MAX;  // UINT32_MAX: the palette's size
};

// A BMP with a 40-byte header, the palette as its colour table and padded rows.
std::vector<uint8_t> EncodeBmp(const BmpLayout& layout);

struct TgaLayout {
  uint8_t imageType = 2;
  uint8_t depth = 24;
  uint8_t descriptor = 0x20;  // 0x20: top row first
  uint16_t width = 0;
  uint16_t height = 0;
  std::vector<uint32_t> pixels;  // top row first, depth / 8 bytes each, least significant first
  std::string id;                // image ID field
  uint8_t colorMapType = 0;
  uint16_t mapFirst = 0;
  uint8_t mapEntryBits = 0;
  std::vector<uint32_t> map;  // written at (mapEntryBits + 7) / 8 bytes an entry
};

// An uncompressed TGA: rows stored in the order the descriptor names.
std::vector<uint8_t> EncodeTga(const TgaLayout& layout);

// A true-colour (type 2) TGA at 24 or 32 bits.
std::vector<uint8_t> EncodeTrueColorTga(int depth, uint16_t width, uint16_t height,
                                        const std::vector<uint32_t>& pixels, uint8_t descriptor);

}  // namespace quillon::test
