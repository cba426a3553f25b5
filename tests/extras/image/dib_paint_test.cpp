#include "extras/image/dib_paint.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace quillon {
namespace {

using Point = std::pair<int32_t, int32_t>;

TEST(DibPaintTest, ZeroBitsClearsTheWholeBuffer) {
  CDib dib;
  ZeroBits(dib);  // no image: nothing to do
  ASSERT_TRUE(dib.Create(4, 5, 3));
  Fill(dib, 0xB);
  EXPECT_EQ(dib.GetPixel4(4, 2), 0xBu);
  ZeroBits(dib);
  const uint32_t size = dib.GetHeader()->biSizeImage;
  for (uint32_t i = 0; i < size; ++i) EXPECT_EQ(dib.GetBits()[i], 0) << i;
}

TEST(DibPaintTest, FillWritesEveryPixelThroughTheDepth) {
  CDib dib;
  ASSERT_TRUE(dib.Create(24, 3, 2));
  Fill(dib, 0xFF112233u);
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(dib.GetPixel24(x, y), 0x112233u);
  }
  // Row padding stays untouched.
  EXPECT_EQ(dib.GetBits()[9], 0);
}

TEST(DibPaintTest, GridOfTwoByTwoOnTenByTen) {
  const uint32_t c = 0x00102030u;
  CDib dib;
  ASSERT_TRUE(dib.Create(32, 10, 10));
  ASSERT_TRUE(DrawGrid(dib, 2, 2, c));
  const std::set<Point> marks = {{2, 0}, {7, 0}, {2, 5}, {7, 5}, {0, 2}, {5, 2}, {0, 7}, {5, 7}};
  for (int32_t y = 0; y < 10; ++y) {
    for (int32_t x = 0; x < 10; ++x) {
      uint32_t expected = 0;
      if (x == 0 || x == 5 || y == 0 || y == 5) expected = c;
      if (marks.count({x, y}) != 0) expected = ~c;
      EXPECT_EQ(dib.GetPixel32(x, y), expected) << x << "," << y;
    }
  }
}

TEST(DibPaintTest, GridMarksReachPastTheLastLine) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 10, 10));
  ASSERT_TRUE(DrawGrid(dib, 3, 3, 0x0F));
  // Cells of 3: lines at 0, 3 and 6 only, but marks continue to the image's edge.
  EXPECT_EQ(dib.GetPixel8(9, 5), 0x00u);
  EXPECT_EQ(dib.GetPixel8(9, 9), 0x00u);
  EXPECT_EQ(dib.GetPixel8(6, 5), 0x0Fu);
  EXPECT_EQ(dib.GetPixel8(1, 9), 0xF0u);
  EXPECT_EQ(dib.GetPixel8(9, 1), 0xF0u);
  EXPECT_EQ(dib.GetPixel8(0, 9), 0x0Fu);
}

TEST(DibPaintTest, GridRefusesCellsBelowOnePixel) {
  CDib dib;
  EXPECT_FALSE(DrawGrid(dib, 1, 1, 1));
  ASSERT_TRUE(dib.Create(8, 4, 3));
  const std::pair<int32_t, int32_t> refused[] = {{0, 1}, {1, 0}, {-1, 2}, {4, 1}, {1, 5}};
  for (const auto& [rows, cols] : refused) {
    EXPECT_FALSE(DrawGrid(dib, rows, cols, 1)) << rows << "x" << cols;
  }
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 4; ++x) EXPECT_EQ(dib.GetPixel8(x, y), 0u);
  }
  EXPECT_TRUE(DrawGrid(dib, 3, 4, 1));  // one-pixel cells are fine
}

}  // namespace
}  // namespace quillon
