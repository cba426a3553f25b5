#include "container/cast_members.h"

#include <gtest/gtest.h>

#include "util/byte_reader.h"

namespace quillon {
namespace {

TEST(ResolveSlotTest, TakesTheSmallerOfTheWordAndItsSwap) {
  EXPECT_EQ(ResolveSlot(0x23010000), 291u);  // stored 00 00 01 23, read little-endian
  EXPECT_EQ(ResolveSlot(0x00000123), 291u);  // stored 23 01 00 00
  EXPECT_EQ(ResolveSlot(0), 0u);
  for (uint32_t index : {1u, 255u, 256u, 4660u, 65535u}) {
    EXPECT_EQ(ResolveSlot(index), index);
    EXPECT_EQ(ResolveSlot(Swap32(index)), index);
  }
}

}  // namespace
}  // namespace quillon
