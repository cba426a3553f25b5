#include "extras/image/dib_color.h"

#include <gtest/gtest.h>

#include <utility>

#include "extras/image/dib_glyph.h"

namespace quillon {
namespace {

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return blue | green << 8 | red << 16;
}

TEST(DibColorTest, ColorsComeFromTheTableOrThePixelByDepth) {
  CDib eight, four, sixteen, one, twenty_four, thirty_two;
  ASSERT_TRUE(eight.Create(8, 2, 1));
  ASSERT_TRUE(four.Create(4, 2, 1));
  ASSERT_TRUE(sixteen.Create(16, 2, 1));
  ASSERT_TRUE(one.Create(1, 2, 1));
  ASSERT_TRUE(twenty_four.Create(24, 2, 1));
  ASSERT_TRUE(thirty_two.Create(32, 2, 1));
  EXPECT_EQ(GetColor(CDib(), 0, 0), 0u);  // no image
  eight.SetPixel(0, 0, 7);
  eight.SetPixel(1, 0, 255);
  EXPECT_EQ(GetColor(eight, 0, 0), 0x00808080u);
  EXPECT_EQ(GetColor(eight, 1, 0), 0x00FFFFFFu);
  four.SetPixel(1, 0, 9);
  EXPECT_EQ(GetColor(four, 1, 0), Rgb(255, 0, 0));
  sixteen.SetPixel(0, 0, 0xFFFF);
  EXPECT_EQ(GetColor(sixteen, 0, 0), 0u);
  one.SetPixel(0, 0, 1);
  EXPECT_EQ(GetColor(one, 0, 0), 0u);
  twenty_four.SetPixel(0, 0, 0xFF123456);
  EXPECT_EQ(GetColor(twenty_four, 0, 0), 0x123456u);
  thirty_two.SetPixel(0, 0, 0xFF123456);
  EXPECT_EQ(GetColor(thirty_two, 0, 0), 0xFF123456u);
}

TEST(DibColorTest, DiffersFromKeyComparesTheColourWithTheKey) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 2, 1));
  dib.SetPixel(1, 0, 255);  // white in the default table
  EXPECT_FALSE(DiffersFromKey({dib, 0}, 0, 0));
  EXPECT_TRUE(DiffersFromKey({dib, 0}, 1, 0));
  EXPECT_TRUE(DiffersFromKey({dib, 0x00FFFFFF}, 0, 0));
  EXPECT_FALSE(DiffersFromKey({dib, 0x00FFFFFF}, 1, 0));
}

TEST(ColorNormTest, LengthOfTheThreeLowBytesTruncated) {
  const std::pair<uint32_t, int32_t> cases[] = {
      {0x00FFFFFFu, 441}, {0xFF000000u, 0},   {0x00000304u, 5},
      {0x00010101u, 1},   {0x00FF0000u, 255}, {0x7F030400u, 5},
  };
  for (const auto& [color, norm] : cases) {
    EXPECT_EQ(ColorNorm(color), norm) << std::hex << color;
  }
}

}  // namespace
}  // namespace quillon
