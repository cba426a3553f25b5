#include "builders/row_codec.h"

#include <algorithm>
#include <cstring>

namespace quillon {

namespace {

constexpr size_t kMaxLiteral = 128;
constexpr size_t kMaxRepeat = 129;

// Rows are scanned eight bytes at a time where the byte order allows it; the byte loops after
// each word loop give the same answers on their own.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kWordScan = true;
#else
constexpr bool kWordScan = false;
#endif
constexpr size_t kWord = 8;

uint64_t LoadWord(const uint8_t* p) {
  uint64_t word;
  std::memcpy(&word, p, kWord);
  return word;
}

constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr uint64_t kHighBits = ~kLow7;

// Bit 7 of each byte of the result is set exactly where that byte of `word` is not zero.
uint64_t NonZeroBytes(uint64_t word) { return (((word & kLow7) + kLow7) | word) & kHighBits; }

// Bit 7 of each byte of the result is set exactly where that byte of `word` is zero.
uint64_t ZeroBytes(uint64_t word) { return NonZeroBytes(word) ^ kHighBits; }

// Index of the lowest byte of `word` that is not zero (`word` is not zero), in portable code
// that compilers turn into a few instructions: the lowest flag isolated is 1 << (8k + 7), and
// the multiply carries byte 7 - k of the constant, which is k, to the top byte.
size_t FirstNonZeroByte(uint64_t word) {
  const uint64_t flags = NonZeroBytes(word);
  const uint64_t lowest = flags & (~flags + 1);
  return static_cast<size_t>(((lowest >> 7) * 0x0001020304050607ULL) >> 56);
}

// Length of the run of bytes equal to source[start], from start, at most kMaxRepeat.
size_t RepeatLength(const uint8_t* source, size_t start, size_t n) {
  const uint8_t value = source[start];
  const size_t limit = std::min(n, start + kMaxRepeat);
  size_t end = start + 2;
  if (kWordScan) {
    const uint64_t pattern = value * 0x0101010101010101ULL;
    for (; end + kWord <= limit; end += kWord) {
      const uint64_t differs = LoadWord(source + end) ^ pattern;
      if (differs != 0) return end + FirstNonZeroByte(differs) - start;
    }
  }
  while (end < limit && source[end] == value) ++end;
  return end - start;
}

// Length of the literal run starting at `start` (whose first two bytes differ): it stops
// before the first pair of equal neighbours inside the next 128 bytes. A run that fills up
// at 128 is never shortened by what follows it.
size_t LiteralLength(const uint8_t* source, size_t start, size_t n) {
  const size_t limit = std::min(n, start + kMaxLiteral);
  size_t i = start + 2;
  if (kWordScan) {
    for (; i + kWord <= limit; i += kWord) {
      const uint64_t pairs = ZeroBytes(LoadWord(source + i) ^ LoadWord(source + i - 1));
      if (pairs != 0) return i + FirstNonZeroByte(pairs) - 1 - start;
    }
  }
  for (; i < limit; ++i) {
    if (source[i] == source[i - 1]) return i - 1 - start;
  }
  return limit - start;
}

}  // namespace

size_t PackRow(const uint8_t* source, uint8_t* destination, size_t n) {
  uint8_t* out = destination;
  size_t next = 0;
  while (next < n) {
    if (next + 1 == n) {
      *out++ = 0x00;
      *out++ = source[next];
      break;
    }
    if (source[next] == source[next + 1]) {
      const size_t count = RepeatLength(source, next, n);
      *out++ = static_cast<uint8_t>(257 - count);
      *out++ = source[next];
      next += count;
    } else {
      const size_t count = LiteralLength(source, next, n);
      *out++ = static_cast<uint8_t>(count - 1);
      std::memcpy(out, source + next, count);
      out += count;
      next += count;
    }
  }
  return static_cast<size_t>(out - destination);
}

bool SpellOutLastRepeatRun(std::vector<uint8_t>& packed, size_t begin) {
  size_t last = packed.size();
  for (size_t at = begin; at < packed.size();) {
    const uint8_t header = packed[at];
    if (header >= 0x80) last = at;
    at += header < 0x80 ? size_t{header} + 2 : 2;
  }
  if (last + 1 >= packed.size()) return false;
  const uint8_t value = packed[last + 1];
  std::vector<uint8_t> literals;
  for (size_t left = 257 - size_t{packed[last]}; left > 0;) {
    const size_t count = std::min(left, kMaxLiteral);
    literals.push_back(static_cast<uint8_t>(count - 1));
    literals.insert(literals.end(), count, value);
    left -= count;
  }
  packed[last] = literals[0];
  packed[last + 1] = literals[1];
  packed.insert(packed.begin() + static_cast<std::ptrdiff_t>(last + 2), literals.begin() + 2,
                literals.end());
  return true;
}

UnpackStatus UnpackRow(const uint8_t* packed, size_t m, uint8_t* destination, size_t& count) {
  const size_t capacity = count;
  size_t read = 0;
  size_t written = 0;
  while (read < m) {
    const uint8_t header = packed[read++];
    const bool literal = header < 0x80;
    const size_t needed = literal ? size_t{header} + 1 : 1;
    if (m - read < needed) return UnpackStatus::kTruncated;
    const size_t length = literal ? needed : 257 - size_t{header};
    const size_t fits = std::min(length, capacity - written);
    if (fits > 0 && literal) {
      std::memcpy(destination + written, packed + read, fits);
    } else if (fits > 0) {
      std::memset(destination + written, packed[read], fits);
    }
    written += fits;
    if (fits < length) return UnpackStatus::kOverflow;
    read += needed;
  }
  count = written;
  return UnpackStatus::kOk;
}

}  // namespace quillon
