#pragma once
// The 18-byte TGA header: the image types and descriptor bits the decoder reads and both
// writers set.

#include <cstddef>
#include <cstdint>

#include "util/byte_reader.h"

namespace quillon {

inline constexpr size_t kTgaHeaderSize = 18;
inline constexpr uint8_t kTgaColorMapped = 1;
inline constexpr uint8_t kTgaTrueColor = 2;
inline constexpr uint8_t kTgaGreyscale = 3;
inline constexpr uint8_t kTgaHasColorMap = 1;
inline constexpr uint8_t kTgaTopRowFirst = 0x20;

// An uncompressed header without an image id or colour map. `extra_bits` counts the bits of
// alpha or grey beyond the colour channels (the descriptor's low four bits).
inline void StoreTgaHeader(uint8_t* header, uint8_t image_type, uint16_t width, uint16_t height,
                           uint8_t bits_per_pixel, uint8_t extra_bits, bool top_row_first) {
  for (size_t i = 0; i < kTgaHeaderSize; ++i) header[i] = 0;
  header[2] = image_type;
  StoreU16Le(header + 12, width);
  StoreU16Le(header + 14, height);
  header[16] = bits_per_pixel;
  header[17] = static_cast<uint8_t>(extra_bits | (top_row_first ? kTgaTopRowFirst : 0));
}

}  // namespace quillon
