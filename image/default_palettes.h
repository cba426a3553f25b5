#pragma once
// The colour tables a new image starts with: 2, 16 or 256 entries stored as colour-table
// values (blue | green << 8 | red << 16).

#include <cstddef>
#include <cstdint>

namespace quillon {

struct ColorTable {
  const uint32_t* entries;
  size_t count;
};

// The default table for a bit count: 1, 4 and 8 bits have one, every other count none (count 0).
ColorTable DefaultColorTable(int bit_count);

}  // namespace quillon
