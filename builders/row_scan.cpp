#include "builders/row_scan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cstring>

namespace quillon {

namespace {

// The bytes a word of marks looks at: each position and its neighbour.
constexpr size_t kWordReach = kMarkBits + 1;

// Bytes 0 to 7 of p, byte k at bits 8k to 8k + 7 whatever the machine's byte order.
uint64_t LoadU64Le(const uint8_t* p) {
  uint64_t word = 0;
  for (int k = 7; k >= 0; --k) word = word << 8 | p[k];
  return word;
}

// Bit k set where p[k] == p[k + 1], for k from 0 to 7. A zero byte of the difference sets its
// bit 7; the multiply gathers those eight bits, bit 8k + 7 moving to bit 56 + k, into the top
// byte.
uint64_t MarkEight(const uint8_t* p) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
  const uint64_t differs = LoadU64Le(p) ^ LoadU64Le(p + 1);
  const uint64_t zero_bytes = ~(((differs & kLow7) + kLow7) | differs | kLow7);
  return ((zero_bytes >> 7) * 0x0102040810204080ULL) >> 56;
}

// The 64 marks of the kWordReach bytes at p.
uint64_t MarkWordPortable(const uint8_t* p) {
  uint64_t marks = 0;
  for (size_t k = 0; k < kMarkBits; k += 8) marks |= MarkEight(p + k) << k;
  return marks;
}

#if defined(__SSE2__)
// Bit k set where p[k] == p[k + 1], for k from 0 to 15.
uint64_t MarkSixteen(const uint8_t* p) {
  const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 1));
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(here, next)));
}

uint64_t MarkWordSse2(const uint8_t* p) {
  return MarkSixteen(p) | MarkSixteen(p + 16) << 16 | MarkSixteen(p + 32) << 32 |
         MarkSixteen(p + 48) << 48;
}
#endif

using MarkWord = uint64_t (*)(const uint8_t* p);

// Words from where the row holds fewer than kWordReach bytes on: the rest of the row is marked
// in a copy, and the marks of its last byte (whose neighbour would be the copy's padding) and
// beyond are cleared.
uint64_t MarkTailWord(MarkWord mark, const uint8_t* row, size_t length, size_t first) {
  if (first + 1 >= length) return 0;
  uint8_t tail[kWordReach] = {};
  std::memcpy(tail, row + first, length - first);
  return mark(tail) & ((uint64_t{1} << (length - 1 - first)) - 1);
}

void MarkWords(MarkWord mark, const uint8_t* row, size_t length, size_t count, uint64_t* words) {
  size_t w = 0;
  for (; w < count && w * kMarkBits + kWordReach <= length; ++w) {
    words[w] = mark(row + w * kMarkBits);
  }
  for (; w < count; ++w) words[w] = MarkTailWord(mark, row, length, w * kMarkBits);
}

}  // namespace

void MarkEqualNeighboursPortable(const uint8_t* row, size_t length, size_t count,
                                 uint64_t* words) {
  MarkWords(MarkWordPortable, row, length, count, words);
}

void MarkEqualNeighbours(const uint8_t* row, size_t length, size_t count, uint64_t* words) {
#if defined(__SSE2__)
  MarkWords(MarkWordSse2, row, length, count, words);
#else
  MarkEqualNeighboursPortable(row, length, count, words);
#endif
}

}  // namespace quillon
