#include <gtest/gtest.h>

#include <vector>

#include "image/dib.h"

namespace quillon {
namespace {

TEST(FindNearestColorTest, NearestOverAllFourBytesAndTiesKeepTheFirst) {
  const struct {
    const char* name;
    uint32_t color;
    std::vector<uint32_t> entries;
    int32_t expected;
  } cases[] = {
      {"two equal entries", 0x00101010u, {0x00202020u, 0x00202020u}, 0},
      {"nearer later entry", 0x00101010u, {0x00FFFFFFu, 0x00131313u, 0x00101011u}, 2},
      {"first exact match wins", 0x00000005u, {0x00FF0000u, 0x00000005u, 0x00000005u}, 1},
      {"top byte counts", 0xFF000000u, {0x00000000u, 0xFF000001u}, 1},
      {"ties after truncation", 0u, {0x00000101u, 0x00000001u}, 0},  // sqrt 2 and 1 both give 1
      {"single entry", 0x00ABCDEFu, {0x00000000u}, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FindNearestColor(c.color, c.entries), c.expected) << c.name;
  EXPECT_EQ(FindNearestColor(0, {}), -1);
}

}  // namespace
}  // namespace quillon
