#include <gtest/gtest.h>

#include <vector>

#include "extras/draw/dib_draw.h"
#include "extras/draw/draw_surface.h"
#include "tests/extras/draw/draw_test_helpers.h"

namespace quillon {
namespace {

using test::DrawNumbered;
using test::Grid;
using test::MakeNumbered;

// Each depth's pixels as the device shows them, copied in place and doubled by a stretch. Only
// the colour's low 24 bits count (what the device makes of the top byte is its own), and at 16
// bits only each channel's top five bits.
TEST(DibDrawTest, EveryDepthShowsItsColoursCopiedAndStretched) {
  const struct {
    int bit_count;
    uint32_t pixels[4];  // (0, 0), (1, 0), (0, 1), (1, 1)
    uint32_t shown[4];
    uint32_t mask;
  } cases[] = {
      {1, {0, 1, 1, 0}, {0, 0xFFFFFF, 0xFFFFFF, 0}, 0xFFFFFF},
      {4, {12, 9, 0, 15}, {0x0000FF, 0xFF0000, 0, 0xFFFFFF}, 0xFFFFFF},
      {8, {7, 255, 0, 9}, {0x808080, 0xFFFFFF, 0, 0xA6CAF0}, 0xFFFFFF},
      {16, {0x7C1F, 0x03E0, 0, 0x7FFF}, {0xF800F8, 0x00F800, 0, 0xF8F8F8}, 0xF8F8F8},
      {24, {0x123456, 0xABCDEF, 0, 0x010203}, {0x123456, 0xABCDEF, 0, 0x010203}, 0xFFFFFF},
      {32, {0xAA123456, 0xABCDEF, 0, 0xFF010203}, {0x123456, 0xABCDEF, 0, 0x010203}, 0xFFFFFF},
  };
  for (const auto& c : cases) {
    CDib dib;
    ASSERT_TRUE(dib.Create(c.bit_count, 2, 2));
    for (int32_t i = 0; i < 4; ++i) dib.SetPixel(i % 2, i / 2, c.pixels[i]);
    for (const int32_t scale : {1, 2}) {
      DrawSurface surface;
      ASSERT_TRUE(surface.Create(2 * scale, 2 * scale));
      const Rect dest = {0, 0, 2 * scale, 2 * scale};
      ASSERT_TRUE(Draw(dib, surface, dib.GetPalette(), dest, {0, 0, 2, 2})) << c.bit_count;
      for (int32_t y = 0; y < 2 * scale; ++y) {
        for (int32_t x = 0; x < 2 * scale; ++x) {
          EXPECT_EQ(surface.GetPixel(x, y) & c.mask, c.shown[y / scale * 2 + x / scale])
              << c.bit_count << " bits, scale " << scale << " at " << x << "," << y;
        }
      }
    }
  }
}

TEST(DibDrawTest, CopiesAndStretchesCountTheirSourceFromTheBottom) {
  const struct {
    const char* name;
    Rect dest, src;
    Grid expected;
  } cases[] = {
      {"equal: copied in place",
       {1, 1, 3, 3},
       {1, 1, 3, 3},
       {{0, 0, 0, 0}, {0, 11, 12, 0}, {0, 21, 22, 0}, {0, 0, 0, 0}}},
      // src.top 1 counts from the bottom: image rows 1 and 2 doubled.
      {"stretched from bottom-up row 1",
       {0, 0, 4, 4},
       {0, 1, 2, 3},
       {{10, 10, 11, 11}, {10, 10, 11, 11}, {20, 20, 21, 21}, {20, 20, 21, 21}}},
  };
  for (const auto& c : cases) {
    Grid shown = DrawNumbered(4, 4, c.dest, c.src);
    for (auto& row : shown) {
      for (uint32_t& pixel : row) pixel &= 0x00FFFFFFu;
    }
    EXPECT_EQ(shown, c.expected) << c.name;
  }
}

TEST(DibDrawTest, ReportsWhetherAnyScanLineWasDrawn) {
  CDib dib;
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(4, 4));
  EXPECT_FALSE(Draw(dib, surface, nullptr, {0, 0, 4, 4}, {0, 0, 4, 4}));  // no image
  MakeNumbered(dib);
  EXPECT_FALSE(Draw(dib, surface, nullptr, {10, 0, 14, 4}, {10, 0, 14, 4}));  // off the surface
  EXPECT_FALSE(Draw(dib, surface, nullptr, {0, 0, 4, 4}, {0, 0, 0, 4}));      // empty source
  EXPECT_TRUE(Draw(dib, surface, nullptr, {3, 3, 7, 7}, {3, 3, 7, 7}));
  CDib two_bits;
  ASSERT_TRUE(two_bits.Create(2, 4, 4));
  EXPECT_FALSE(Draw(two_bits, surface, nullptr, {0, 0, 4, 4}, {0, 0, 4, 4}));
}

TEST(DibDrawTest, SelectedPaletteIsPutBack) {
  CDib dib;
  MakeNumbered(dib);
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(4, 4));
  const auto before = Palette::Create({{1, 2, 3, 0}});
  ASSERT_TRUE(before);
  surface.SelectPalette(before.get());
  CDib eight;
  ASSERT_TRUE(eight.Create(8, 4, 4));
  EXPECT_TRUE(Draw(dib, surface, eight.GetPalette(), {0, 0, 4, 4}, {0, 0, 4, 4}));
  EXPECT_EQ(surface.selected_palette(), before.get());
}

TEST(DibDrawTest, CopyTakesTheHeightAsASixteenBitCount) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 1, 65537));
  dib.SetPixel8(0, 65536, 9);  // the bottom row
  dib.SetPixel8(0, 65535, 9);
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(1, 65537));
  const Rect all = {0, 0, 1, 65537};
  // 65537 scan lines as 16 bits is 1: only the bottom row arrives.
  EXPECT_TRUE(Draw(dib, surface, nullptr, all, all));
  EXPECT_EQ(surface.GetPixel(0, 65536), dib.GetColorTableEntry(9));
  EXPECT_EQ(surface.GetPixel(0, 65535), 0u);
}

}  // namespace
}  // namespace quillon
