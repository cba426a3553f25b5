#pragma once
// The pixels of a run-length BMP (RLE8 at 8 bits, RLE4 at 4 bits), as image editors write
// indexed pictures unless told otherwise.

#include <cstdint>

#include "image/image_status.h"
#include "util/byte_reader.h"

namespace quillon {

inline constexpr uint32_t kBmpRle8 = 1;
inline constexpr uint32_t kBmpRle4 = 2;

// Where the decoded rows go: `rows` rows of `stride` bytes, bottom row first, already zero.
struct RlePlane {
  uint8_t* bits;
  uint64_t stride;
  uint32_t width;
  uint32_t rows;
  bool top_down;  // the file's first row is the top one
};

// Decodes every run and escape (end of line, end of picture, delta, absolute runs with their
// padding) at 8 or 4 bits. Pixels a delta or an early end skips stay 0. kBadHeader for a run
// past its row or the picture, kTruncated when the bytes end before the picture does.
ImageStatus DecodeBmpRle(const ByteReader& encoded, int bit_count, const RlePlane& plane);

}  // namespace quillon
