#pragma once
// Image files made in memory, in the forms the run's loaders read back exactly: an 8-bit
// indexed BMP and a 24- or 32-bit true-colour TGA.

#include <cstdint>
#include <functional>
#include <vector>

namespace quillon {

// The value of pixel (x, y), y counting from the top row.
using PixelSource = std::function<uint32_t(uint32_t x, uint32_t y)>;

// An uncompressed 8-bit BMP, rows bottom first, whose indices are the low bytes of `pixel` and
// whose colour table is `palette` (colour-table values) padded with black to 256 entries; a
// longer palette is cut to 256. Empty when the file would exceed 4 GiB.
std::vector<uint8_t> EncodeIndexedBmp(uint32_t width, uint32_t height, const PixelSource& pixel,
                                      const std::vector<uint32_t>& palette);

// An uncompressed 32-bit TGA (type 2), top row first, each pixel 0xAARRGGBB. Width and height
// must fit 16 bits.
std::vector<uint8_t> EncodeTga32(uint16_t width, uint16_t height, const PixelSource& pixel);

// The same at 24 bits, without alpha: each pixel 0x??RRGGBB, the top byte left out.
std::vector<uint8_t> EncodeTga24(uint16_t width, uint16_t height, const PixelSource& pixel);

}  // namespace quillon
