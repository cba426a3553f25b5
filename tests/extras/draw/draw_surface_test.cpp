#include "extras/draw/draw_surface.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "extras/draw/dib_draw.h"

namespace quillon {
namespace {

// Row y of the surface, left to right.
std::vector<uint32_t> RowOf(const DrawSurface& surface, int32_t y) {
  std::vector<uint32_t> row;
  for (int32_t x = 0; x < surface.width(); ++x) row.push_back(surface.GetPixel(x, y));
  return row;
}

TEST(DrawSurfaceTest, PixelsOutsideAreInvalidAndWritesThereDropped) {
  DrawSurface surface;
  EXPECT_FALSE(surface.Create(-1, 3));
  ASSERT_TRUE(surface.Create(2, 3));
  surface.SetPixel(1, 2, 0xABCDEF01u);
  surface.SetPixel(2, 0, 5);
  surface.SetPixel(-1, 0, 5);
  EXPECT_EQ(surface.GetPixel(1, 2), 0xABCDEF01u);
  EXPECT_EQ(surface.GetPixel(0, 0), 0u);
  EXPECT_EQ(surface.GetPixel(2, 0), DrawSurface::kInvalidColor);
  EXPECT_EQ(surface.GetPixel(0, 3), DrawSurface::kInvalidColor);
  surface.FillRect({-5, 1, 1, 99}, 7);
  EXPECT_EQ(RowOf(surface, 0), (std::vector<uint32_t>{0, 0}));
  EXPECT_EQ(RowOf(surface, 1), (std::vector<uint32_t>{7, 0}));
  EXPECT_EQ(RowOf(surface, 2), (std::vector<uint32_t>{7, 0xABCDEF01u}));
}

TEST(DrawSurfaceTest, AnEmptySurfaceHasNoPixels) {
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(0, 3));
  EXPECT_EQ(surface.GetPixel(0, 0), DrawSurface::kInvalidColor);
  surface.SetPixel(0, 0, 1);
  surface.FillRect({0, 0, 5, 5}, 1);
  EXPECT_EQ(surface.GetPixel(0, 0), DrawSurface::kInvalidColor);
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 2, 2));
  Draw(dib, surface, dib.GetPalette(), {0, 0, 2, 2}, {0, 0, 2, 2});  // what GDI counts is its own
  EXPECT_EQ(surface.GetPixel(0, 0), DrawSurface::kInvalidColor);
}

TEST(DrawSurfaceTest, MovingHandsThePixelsOver) {
  DrawSurface first;
  ASSERT_TRUE(first.Create(2, 1));
  first.SetPixel(1, 0, 42);
  DrawSurface second(std::move(first));
  EXPECT_EQ(second.GetPixel(1, 0), 42u);
  DrawSurface third;
  ASSERT_TRUE(third.Create(5, 5));
  third = std::move(second);
  EXPECT_EQ(third.width(), 2);
  EXPECT_EQ(third.GetPixel(1, 0), 42u);
}

TEST(DrawSurfaceTest, SelectPaletteReturnsThePreviousOne) {
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(1, 1));
  const auto first = Palette::Create({{1, 2, 3, 0}});
  const auto second = Palette::Create({{4, 5, 6, 0}});
  ASSERT_TRUE(first && second);
  EXPECT_EQ(surface.SelectPalette(first.get()), nullptr);
  EXPECT_EQ(surface.SelectPalette(second.get()), first.get());
  EXPECT_EQ(surface.selected_palette(), second.get());
  EXPECT_EQ(surface.SelectPalette(nullptr), second.get());
}

TEST(DrawSurfaceTest, RectHelpers) {
  const Rect shared = IntersectRects({0, 0, 10, 10}, {5, -5, 20, 7});
  EXPECT_EQ(shared.left, 5);
  EXPECT_EQ(shared.top, 0);
  EXPECT_EQ(shared.right, 10);
  EXPECT_EQ(shared.bottom, 7);
  EXPECT_TRUE(RectContains({1, 1, 3, 3}, 1, 1));
  EXPECT_FALSE(RectContains({1, 1, 3, 3}, 3, 1));
  EXPECT_FALSE(RectContains({1, 1, 3, 3}, 1, 3));
  EXPECT_FALSE(RectContains({1, 1, 3, 3}, 0, 2));
}

}  // namespace
}  // namespace quillon
