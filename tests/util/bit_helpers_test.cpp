#include "util/bit_helpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

namespace quillon {
namespace {

// Bit k of the string, walked one bit at a time; 0 beyond the array.
unsigned BitOf(const std::vector<uint8_t>& bytes, size_t k) {
  return k / 8 < bytes.size() ? (bytes[k / 8] >> (k % 8)) & 1u : 0u;
}

// Exactly sized heap copy, so that the address sanitizer sees a read past the last byte.
uint8_t FieldOf(const std::vector<uint8_t>& bytes, int32_t index) {
  auto exact = std::make_unique<uint8_t[]>(bytes.size());
  std::copy(bytes.begin(), bytes.end(), exact.get());
  return Get3BitField(exact.get(), bytes.size(), index);
}

TEST(BitHelpersTest, FieldsCrossByteBoundaries) {
  const std::vector<uint8_t> bytes = {0xFA, 0x05};
  const uint8_t expected[] = {2, 7, 7, 2, 0, 0};
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(FieldOf(bytes, i), expected[i]) << i;
}

TEST(BitHelpersTest, FieldsStopAtTheArrayEnd) {
  // Field 2 starts at bit 6 of the only byte: its third bit would be in a byte that is not there.
  EXPECT_EQ(FieldOf({0xFF}, 2), 3);
  EXPECT_EQ(FieldOf({0xFF}, 3), 0);
  EXPECT_EQ(FieldOf({0xFF}, -1), 0);
  EXPECT_EQ(FieldOf({}, 0), 0);
  EXPECT_EQ(FieldOf({0xFF, 0xFF, 0xFF}, 7), 7);  // bits 21 to 23: all in the last byte
}

TEST(BitHelpersTest, FieldsMatchABitByBitWalk) {
  std::mt19937 random(7);
  for (size_t length = 1; length <= 9; ++length) {
    std::vector<uint8_t> bytes(length);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    for (int32_t i = 0; i < static_cast<int32_t>(length * 8 / 3 + 2); ++i) {
      const size_t k = 3 * static_cast<size_t>(i);
      const unsigned expected =
          BitOf(bytes, k) | BitOf(bytes, k + 1) << 1 | BitOf(bytes, k + 2) << 2;
      ASSERT_EQ(FieldOf(bytes, i), expected) << "length " << length << " field " << i;
    }
  }
}

TEST(BitHelpersTest, ReverseBits) {
  EXPECT_EQ(ReverseBits(0x01), 0x80);
  EXPECT_EQ(ReverseBits(0x0F), 0xF0);
  EXPECT_EQ(ReverseBits(0xA0), 0x05);
  EXPECT_EQ(ReverseBits(0xFF), 0xFF);
  EXPECT_EQ(ReverseBits(0x00), 0x00);
  EXPECT_EQ(ReverseBits(0x12), 0x48);
  for (unsigned b = 0; b < 256; ++b) {
    EXPECT_EQ(ReverseBits(ReverseBits(static_cast<uint8_t>(b))), b);
  }
}

}  // namespace
}  // namespace quillon
