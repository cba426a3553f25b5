#include "util/byte_reader.h"

#include <gtest/gtest.h>

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
