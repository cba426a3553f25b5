#pragma once
// Bounds-checked little- and big-endian reads over a byte span: every parser reads through this.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "util/checked_math.h"

namespace quillon {

// Unchecked loads for callers that have already checked the range.
inline uint16_t LoadU16Le(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadU32Le(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline void StoreU32Le(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

// A view of `size` bytes; every read names its offset and fails instead of leaving the span.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  const uint8_t* data() const { return data_; }
  size_t size() const { return size_; }
  bool Has(size_t offset, size_t length) const { return RangeWithin(offset, length, size_); }

  bool U8(size_t offset, uint8_t& out) const {
    if (!Has(offset, 1)) return false;
    out = data_[offset];
    return true;
  }
  bool U16Le(size_t offset, uint16_t& out) const {
    if (!Has(offset, 2)) return false;
    out = LoadU16Le(data_ + offset);
    return true;
  }
  bool U32Le(size_t offset, uint32_t& out) const {
    if (!Has(offset, 4)) return false;
    out = LoadU32Le(data_ + offset);
    return true;
  }
  bool U16Be(size_t offset, uint16_t& out) const {
    if (!Has(offset, 2)) return false;
    out = static_cast<uint16_t>(data_[offset] << 8 | data_[offset + 1]);
    return true;
  }
  bool U32Be(size_t offset, uint32_t& out) const {
    if (!Has(offset, 4)) return false;
    const uint8_t* p = data_ + offset;
    out = static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
          static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
    return true;
  }
  // True when the bytes at offset equal the `length` bytes of `expected`.
  bool Matches(size_t offset, const void* expected, size_t length) const {
    return Has(offset, length) && std::memcmp(data_ + offset, expected, length) == 0;
  }

 private:
  const uint8_t* data_;
  size_t size_;
};

}  // namespace quillon
