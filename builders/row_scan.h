#pragma once
// Where a row of bytes has equal neighbours, found many bytes at a time: the row packer's scan
// for runs, as one bit a position.

#include <cstddef>
#include <cstdint>

namespace quillon {

inline constexpr size_t kMarkBits = 64;  // positions per word of marks

// Fills words[0 .. count - 1]: bit i % 64 of words[i / 64] is set exactly where
// row[i] == row[i + 1]. Positions from length - 1 on, whose neighbour is not in the row, stay
// clear, so the words may cover more positions than the row has; no byte past `length` is read.
// With SSE2 sixteen positions at a time, elsewhere the portable scan.
void MarkEqualNeighbours(const uint8_t* row, size_t length, size_t count, uint64_t* words);

// The same marks in portable code, eight positions at a time: the scan of machines without SSE2
// and what the SSE2 scan is held to.
void MarkEqualNeighboursPortable(const uint8_t* row, size_t length, size_t count,
                                 uint64_t* words);

}  // namespace quillon
