#pragma once
// Overflow-checked size arithmetic for every offset, length and size product taken from a file.

#include <cstddef>
#include <cstdint>
#include <limits>

namespace quillon {

// a * b into out; false (out untouched) when the product does not fit.
template <typename T>
bool CheckedMul(T a, T b, T& out) {
  static_assert(std::numeric_limits<T>::is_integer && !std::numeric_limits<T>::is_signed);
  if (a != 0 && b > std::numeric_limits<T>::max() / a) return false;
  out = a * b;
  return true;
}

// a + b into out; false (out untouched) when the sum wraps.
template <typename T>
bool CheckedAdd(T a, T b, T& out) {
  static_assert(std::numeric_limits<T>::is_integer && !std::numeric_limits<T>::is_signed);
  if (b > std::numeric_limits<T>::max() - a) return false;
  out = a + b;
  return true;
}

// True when [offset, offset + length) lies within a buffer of `total` bytes.
inline bool RangeWithin(uint64_t offset, uint64_t length, uint64_t total) {
  return offset <= total && length <= total - offset;
}

}  // namespace quillon
