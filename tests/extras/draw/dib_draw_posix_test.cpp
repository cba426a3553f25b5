// How the Linux stand-in for the device shows pixels: the top byte dropped, 5-5-5 channels
// widened by zero bits, shrinking by the pixel under each destination pixel's centre.
#include <gtest/gtest.h>

#include <vector>

#include "extras/draw/dib_draw.h"
#include "extras/draw/draw_surface.h"
#include "tests/extras/draw/draw_test_helpers.h"

namespace quillon {
namespace {

using test::DrawNumbered;
using test::Grid;

// Copies in place are checked on every platform (dib_draw_test.cpp).
TEST(DibDrawPosixTest, AnyDifferenceStretchesByTheCentrePixel) {
  const struct {
    const char* name;
    int32_t width, height;
    Rect dest, src;
    Grid expected;
  } cases[] = {
      // src.top 0 counts from the bottom: image rows 1 to 3 spread over four rows.
      {"only bottom differs: stretched",
       4,
       4,
       {0, 0, 4, 4},
       {0, 0, 4, 3},
       {{10, 11, 12, 13}, {20, 21, 22, 23}, {20, 21, 22, 23}, {30, 31, 32, 33}}},
      // Halving takes the row under each destination row's centre.
      {"halved", 4, 2, {0, 0, 4, 2}, {0, 0, 4, 4}, {{10, 11, 12, 13}, {30, 31, 32, 33}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DrawNumbered(c.width, c.height, c.dest, c.src), c.expected) << c.name;
  }
}

// The other depths' colours are checked on every platform (dib_draw_test.cpp); here the exact
// values the stand-in gives where devices differ.
TEST(DibDrawPosixTest, SixteenBitChannelsWidenByZeroBitsAndTheTopByteIsDropped) {
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(2, 1));
  const Rect all = {0, 0, 2, 1};
  const struct {
    int bit_count;
    uint32_t pixel;
    uint32_t shown;
  } cases[] = {{16, 0x7C1F, 0xF800F8u}, {16, 0x7FFF, 0xF8F8F8u}, {32, 0xAA123456, 0x123456u}};
  for (const auto& c : cases) {
    CDib dib;
    ASSERT_TRUE(dib.Create(c.bit_count, 2, 1));
    dib.SetPixel(1, 0, c.pixel);
    EXPECT_TRUE(Draw(dib, surface, nullptr, all, all));
    EXPECT_EQ(surface.GetPixel(1, 0), c.shown) << c.bit_count << " bits";
  }
}

}  // namespace
}  // namespace quillon
