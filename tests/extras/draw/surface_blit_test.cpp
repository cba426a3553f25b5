#include "extras/draw/surface_blit.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace quillon {
namespace {

// A 4 x 4 image whose pixel (x, y) is 10 * y + x, so that every copied value names its source.
DeviceImage NumberedImage() {
  return {4, 4, [](int32_t x, int32_t y) { return static_cast<uint32_t>(10 * y + x); }};
}

DrawSurface MakeSurface(int32_t width, int32_t height, uint32_t fill) {
  DrawSurface surface;
  EXPECT_TRUE(surface.Create(width, height));
  surface.FillRect({0, 0, width, height}, fill);
  return surface;
}

// Row y of the surface, left to right.
std::vector<uint32_t> RowOf(const DrawSurface& surface, int32_t y) {
  std::vector<uint32_t> row;
  for (int32_t x = 0; x < surface.width(); ++x) row.push_back(surface.GetPixel(x, y));
  return row;
}

TEST(SurfaceBlitTest, CopyCountsSourceRowsFromTheBottom) {
  DrawSurface surface = MakeSurface(3, 3, 99);
  // Source area 2 x 2 whose lower-left pixel is bottom-up (1, 1): image rows 1 and 2, columns 1, 2.
  EXPECT_EQ(CopyImage(surface, {1, 0, 2, 2}, 1, 1, 4, NumberedImage()), 2);
  EXPECT_EQ(RowOf(surface, 0), (std::vector<uint32_t>{99, 11, 12}));
  EXPECT_EQ(RowOf(surface, 1), (std::vector<uint32_t>{99, 21, 22}));
  EXPECT_EQ(RowOf(surface, 2), (std::vector<uint32_t>{99, 99, 99}));
}

TEST(SurfaceBlitTest, CopyUsesOnlyTheAvailableScanLines) {
  DrawSurface surface = MakeSurface(4, 4, 99);
  // One scan line: only the image's bottom row (top-down row 3) can be drawn.
  EXPECT_EQ(CopyImage(surface, {0, 0, 4, 4}, 0, 0, 1, NumberedImage()), 1);
  EXPECT_EQ(RowOf(surface, 2), (std::vector<uint32_t>{99, 99, 99, 99}));
  EXPECT_EQ(RowOf(surface, 3), (std::vector<uint32_t>{30, 31, 32, 33}));
}

TEST(SurfaceBlitTest, CopyClipsToSurfaceAndImage) {
  DrawSurface surface = MakeSurface(3, 2, 99);
  // Starts left of and above the surface; the source reaches past the image's right edge.
  EXPECT_EQ(CopyImage(surface, {-1, -1, 4, 3}, 1, 0, 4, NumberedImage()), 2);
  EXPECT_EQ(RowOf(surface, 0), (std::vector<uint32_t>{22, 23, 99}));
  EXPECT_EQ(RowOf(surface, 1), (std::vector<uint32_t>{32, 33, 99}));
  EXPECT_EQ(CopyImage(surface, {5, 0, 2, 2}, 0, 0, 4, NumberedImage()), 0);
}

TEST(SurfaceBlitTest, StretchTakesTheNearestPixel) {
  DrawSurface up = MakeSurface(4, 4, 99);
  // The whole image's top-left 2 x 2 (bottom-up rows 2 and 3) doubled.
  EXPECT_EQ(StretchImage(up, {0, 0, 4, 4}, {0, 2, 2, 2}, NumberedImage()), 4);
  EXPECT_EQ(RowOf(up, 0), (std::vector<uint32_t>{0, 0, 1, 1}));
  EXPECT_EQ(RowOf(up, 1), (std::vector<uint32_t>{0, 0, 1, 1}));
  EXPECT_EQ(RowOf(up, 3), (std::vector<uint32_t>{10, 10, 11, 11}));

  DrawSurface down = MakeSurface(2, 2, 99);
  // Halving samples the pixel under each destination pixel's centre.
  EXPECT_EQ(StretchImage(down, {0, 0, 2, 2}, {0, 0, 4, 4}, NumberedImage()), 2);
  EXPECT_EQ(RowOf(down, 0), (std::vector<uint32_t>{11, 13}));
  EXPECT_EQ(RowOf(down, 1), (std::vector<uint32_t>{31, 33}));
}

TEST(SurfaceBlitTest, EmptyOrHugeExtentsStayCheap) {
  DrawSurface surface = MakeSurface(2, 2, 99);
  const int64_t huge = std::numeric_limits<int32_t>::max();
  EXPECT_EQ(StretchImage(surface, {0, 0, 0, 2}, {0, 0, 4, 4}, NumberedImage()), 0);
  EXPECT_EQ(StretchImage(surface, {0, 0, -2, 2}, {0, 0, 4, 4}, NumberedImage()), 0);
  EXPECT_EQ(StretchImage(surface, {0, 0, 2, 2}, {0, 0, 4, huge + 1}, NumberedImage()), 0);
  EXPECT_EQ(RowOf(surface, 0), (std::vector<uint32_t>{99, 99}));
  // Only the destination pixels on the surface are visited.
  EXPECT_EQ(StretchImage(surface, {0, 0, huge, huge}, {0, 0, 4, 4}, NumberedImage()), 2);
  EXPECT_EQ(RowOf(surface, 1), (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(CopyImage(surface, {0, 0, 2, 2}, 0, 0, 4, {4, 4, nullptr}), 0);
}

}  // namespace
}  // namespace quillon
