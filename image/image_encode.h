#pragma once
// Image files made in memory, in the forms the run's loaders read back exactly: an indexed BMP
// of 1, 4 or 8 bits and a 24- or 32-bit true-colour TGA.

#include <cstdint>
#include <functional>
#include <vector>

namespace quillon {

// The value of pixel (x, y), y counting from the top row.
using PixelSource = std::function<uint32_t(uint32_t x, uint32_t y)>;

// An uncompressed BMP of `bit_count` bits (1, 4 or 8), rows bottom first, whose indices are the
// low bits of `pixel` and whose colour table is `palette` (colour-table values) padded with
// black to 2, 16 or 256 entries; a longer palette is cut. Empty when the file would exceed
// 4 GiB.
std::vector<uint8_t> EncodeIndexedBmp(int bit_count, uint32_t width, uint32_t height,
                                      const PixelSource& pixel,
                                      const std::vector<uint32_t>& palette);

// An uncompressed 32-bit TGA (type 2), top row first, each pixel 0xAARRGGBB. Width and height
// must fit 16 bits.
std::vector<uint8_t> EncodeTga32(uint16_t width, uint16_t height, const PixelSource& pixel);

// The same at 24 bits, without alpha: each pixel 0x??RRGGBB, the top byte left out.
std::vector<uint8_t> EncodeTga24(uint16_t width, uint16_t height, const PixelSource& pixel);

}  // namespace quillon
