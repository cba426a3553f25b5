#pragma once
// The distance between two colours.

#include <cstdint>

namespace quillon {

// Square root, truncated, of the sum of squares of the differences of the low `bytes` bytes of
// a and b.
int32_t ColorDistance(uint32_t a, uint32_t b, int bytes);

}  // namespace quillon
