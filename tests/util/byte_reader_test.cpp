#include "util/byte_reader.h"

#include <gtest/gtest.h>

#include <utility>

#include "util/checked_math.h"

namespace quillon {
namespace {

TEST(ByteReaderTest, ReadsBothByteOrdersAndRefusesShortReads) {
  const uint8_t bytes[] = {0x01, 0x40, 0x00, 0x00, 0x01, 0x23};
  ByteReader reader(bytes, sizeof bytes);
  uint16_t u16 = 0;
  uint32_t u32 = 0;
  ASSERT_TRUE(reader.U16Le(0, u16));
  EXPECT_EQ(u16, 0x4001);
  ASSERT_TRUE(reader.U16Be(0, u16));
  EXPECT_EQ(u16, 0x0140);
  ASSERT_TRUE(reader.U32Be(2, u32));
  EXPECT_EQ(u32, 0x123u);
  EXPECT_FALSE(reader.U32Le(3, u32));
  EXPECT_FALSE(reader.U16Le(5, u16));
  EXPECT_FALSE(reader.U16Le(SIZE_MAX, u16));
  EXPECT_FALSE(reader.Matches(4, "\x01\x23\x00", 3));
  EXPECT_TRUE(reader.Matches(4, "\x01\x23", 2));
}

TEST(SwapTest, ReversesByteOrder) {
  const uint8_t stored32[] = {0x00, 0x00, 0x01, 0x23};
  EXPECT_EQ(Swap32(LoadU32Le(stored32)), 0x123u);
  EXPECT_EQ(Swap32(0x12345678), 0x78563412u);
  const uint8_t stored16[] = {0x01, 0x40};
  EXPECT_EQ(Swap16(LoadU16Le(stored16)), 320);
}

TEST(ByteOrderTest, LoadsAndStoresTheLowBytesLeastSignificantFirst) {
  const uint8_t bytes[] = {0x44, 0x33, 0x22, 0x11};
  const std::pair<int, uint32_t> cases[] = {{1, 0x44}, {2, 0x3344}, {3, 0x223344}, {4, 0x11223344}};
  for (const auto& [width, value] : cases) {
    EXPECT_EQ(LoadLe(bytes, width), value) << width;
    uint8_t stored[5] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    StoreLe(stored, 0x11223344, width);
    EXPECT_EQ(LoadLe(stored, width), value) << width;
    EXPECT_EQ(stored[static_cast<size_t>(width)], 0xEE) << "the byte after it stays, " << width;
  }
  const uint8_t negative[] = {0xFC, 0xFF, 0xFF, 0xFF};
  int32_t value = 0;
  ASSERT_TRUE(ByteReader(negative, 4).I32Le(0, value));
  EXPECT_EQ(value, -4);
  EXPECT_FALSE(ByteReader(negative, 3).I32Le(0, value));
}

TEST(CheckedMathTest, RefusesWrapAround) {
  uint32_t out = 7;
  EXPECT_FALSE(CheckedMul<uint32_t>(65536, 65536, out));
  EXPECT_EQ(out, 7u);
  EXPECT_TRUE(CheckedMul<uint32_t>(65535, 65537, out));
  EXPECT_EQ(out, 0xFFFFFFFFu);
  EXPECT_FALSE(CheckedAdd<uint32_t>(0xFFFFFFFF, 1, out));
  EXPECT_TRUE(RangeWithin(10, 0, 10));
  EXPECT_FALSE(RangeWithin(11, 0, 10));
  EXPECT_FALSE(RangeWithin(2, UINT64_MAX, 10));
}

}  // namespace
}  // namespace quillon
