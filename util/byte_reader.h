#pragma once
// Bounds-checked little- and big-endian reads over a byte span: every parser reads through this.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "util/checked_math.h"

namespace quillon {

// Unchecked loads and stores for callers that have already checked the range.
inline uint16_t LoadU16Le(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadU32Le(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
// The low `bytes` (1 to 4) bytes of a value, least significant byte first.
inline uint32_t LoadLe(const uint8_t* p, int bytes) {
  uint32_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
  return value;
}
inline void StoreLe(uint8_t* p, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}
inline void StoreU16Le(uint8_t* p, uint16_t v) { StoreLe(p, v, 2); }
inline void StoreU32Le(uint8_t* p, uint32_t v) { StoreLe(p, v, 4); }

// The byte order of a container's own structures: little-endian in XFIR files (Windows), big-endian
// in RIFX files (Mac).
enum class ByteOrder { kLittle, kBig };

inline uint16_t LoadU16Be(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
inline uint32_t LoadU32Be(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | static_cast<uint32_t>(p[3]);
}
inline void StoreU32Be(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (24 - 8 * i));
}
inline void StoreU16Be(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
inline uint16_t LoadU16(const uint8_t* p, ByteOrder order) {
  return order == ByteOrder::kBig ? LoadU16Be(p) : LoadU16Le(p);
}
inline uint32_t LoadU32(const uint8_t* p, ByteOrder order) {
  return order == ByteOrder::kBig ? LoadU32Be(p) : LoadU32Le(p);
}
inline void StoreU32(uint8_t* p, uint32_t v, ByteOrder order) {
  if (order == ByteOrder::kBig) {
    StoreU32Be(p, v);
  } else {
    StoreU32Le(p, v);
  }
}

// Byte order reversed, for the fields stored big-endian.
inline uint32_t Swap32(uint32_t value) {
  return (value >> 24) | (value >> 8 & 0xFF00u) | (value << 8 & 0xFF0000u) | (value << 24);
}
inline uint16_t Swap16(uint16_t value) { return static_cast<uint16_t>(value >> 8 | value << 8); }

// A view of `size` bytes; every read names its offset and fails instead of leaving the span.
class ByteReader {
 public:
  ByteReader() = default;
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
  bool I32Le(size_t offset, int32_t& out) const {
    uint32_t bits = 0;
    if (!U32Le(offset, bits)) return false;
    out = static_cast<int32_t>(bits);
    return true;
  }
  bool U16Be(size_t offset, uint16_t& out) const {
    if (!Has(offset, 2)) return false;
    out = LoadU16Be(data_ + offset);
    return true;
  }
  bool U32Be(size_t offset, uint32_t& out) const {
    if (!Has(offset, 4)) return false;
    out = LoadU32Be(data_ + offset);
    return true;
  }
  bool U16(size_t offset, ByteOrder order, uint16_t& out) const {
    return order == ByteOrder::kBig ? U16Be(offset, out) : U16Le(offset, out);
  }
  bool U32(size_t offset, ByteOrder order, uint32_t& out) const {
    return order == ByteOrder::kBig ? U32Be(offset, out) : U32Le(offset, out);
  }
  // True when the bytes at offset equal the `length` bytes of `expected`.
  bool Matches(size_t offset, const void* expected, size_t length) const {
    return Has(offset, length) && std::memcmp(data_ + offset, expected, length) == 0;
  }

 private:
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

}  // namespace quillon
