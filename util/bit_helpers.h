#pragma once
// Packed bit fields and bit order.

#include <cstddef>
#include <cstdint>

namespace quillon {

// Field `index` of a packed 3-bit array of `length` bytes: bits 3i .. 3i + 2 of the bit string
// in which bit k is bit (k mod 8) of byte k / 8, the first bit the field's least significant.
// Bits beyond the array read as 0, so a negative or too large index gives 0.
uint8_t Get3BitField(const uint8_t* data, size_t length, int32_t index);

// The byte with bit 7 - k set where bit k of `byte` is set.
uint8_t ReverseBits(uint8_t byte);

// Zero bits below the lowest set bit of `word`; 64 when none is set. Every compiler the project
// builds with (GCC, Clang, MinGW-w64's GCC) makes the builtin one instruction.
inline size_t CountTrailingZeros(uint64_t word) {
  return word == 0 ? 64 : static_cast<size_t>(__builtin_ctzll(word));
}

}  // namespace quillon
