#include "util/bit_helpers.h"

namespace quillon {

uint8_t Get3BitField(const uint8_t* data, size_t length, int32_t index) {
  if (index < 0) return 0;
  const uint64_t first_bit = 3 * static_cast<uint64_t>(index);
  const uint64_t at = first_bit / 8;
  const unsigned shift = static_cast<unsigned>(first_bit % 8);
  if (at >= length) return 0;
  unsigned bits = data[at] >> shift;
  // Only a field starting at bit 6 or 7 reaches into the next byte.
  if (shift > 5 && at + 1 < length) bits |= static_cast<unsigned>(data[at + 1]) << (8 - shift);
  return static_cast<uint8_t>(bits & 7u);
}

uint8_t ReverseBits(uint8_t byte) {
  unsigned reversed = 0;
  for (unsigned k = 0; k < 8; ++k) {
    if ((byte >> k) & 1u) reversed |= 0x80u >> k;
  }
  return static_cast<uint8_t>(reversed);
}

}  // namespace quillon
