#include <gtest/gtest.h>

#include <vector>

#include "image/dib.h"
#include "image/draw_surface.h"

namespace quillon {
namespace {

// A 32-bit 4 x 4 image whose pixel (x, y) is 10 * y + x, with a top byte the device ignores.
void MakeNumbered(CDib& dib) {
  ASSERT_TRUE(dib.Create(32, 4, 4));
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x)
      dib.SetPixel32(x, y, 0xAA000000u | static_cast<uint32_t>(10 * y + x));
  }
}

std::vector<std::vector<uint32_t>> Pixels(const DrawSurface& surface) {
  std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(surface.height()));
  for (int32_t y = 0; y < surface.height(); ++y) {
    for (int32_t x = 0; x < surface.width(); ++x)
      rows[static_cast<size_t>(y)].push_back(surface.GetPixel(x, y));
  }
  return rows;
}

using Grid = std::vector<std::vector<uint32_t>>;

// The numbered image drawn onto a fresh zeroed surface of the given size: its pixels.
Grid DrawNumbered(int32_t width, int32_t height, const Rect& dest, const Rect& src) {
  CDib dib;
  MakeNumbered(dib);
  DrawSurface surface;
  EXPECT_TRUE(surface.Create(width, height));
  EXPECT_TRUE(dib.Draw(surface, nullptr, dest, src));
  return Pixels(surface);
}

TEST(DibDrawTest, EqualRectanglesCopyAndAnyDifferenceStretches) {
  const struct {
    const char* name;
    int32_t width, height;
    Rect dest, src;
    Grid expected;
  } cases[] = {
      {"equal: copied in place",
       4,
       4,
       {1, 1, 3, 3},
       {1, 1, 3, 3},
       {{0, 0, 0, 0}, {0, 11, 12, 0}, {0, 21, 22, 0}, {0, 0, 0, 0}}},
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

TEST(DibDrawTest, PaletteImagesShowTheirTableColours) {
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(2, 1));
  const Rect all = {0, 0, 2, 1};
  const struct {
    int bitCount;
    uint32_t pixel;
    uint32_t shown;
  } cases[] = {
      {1, 1, 0xFFFFFFu},         {4, 12, 0x0000FFu},       // blue of the 16-colour table
      {8, 7, 0x808080u},         {16, 0x7C1F, 0xF800F8u},  // 5-5-5 magenta
      {24, 0x123456, 0x123456u},
  };
  for (const auto& c : cases) {
    CDib dib;
    ASSERT_TRUE(dib.Create(c.bitCount, 2, 1));
    dib.SetPixel(1, 0, c.pixel);
    EXPECT_TRUE(dib.Draw(surface, nullptr, all, all));
    EXPECT_EQ(surface.GetPixel(1, 0), c.shown) << c.bitCount << " bits";
  }
}

TEST(DibDrawTest, ReportsWhetherAnyScanLineWasDrawn) {
  CDib dib;
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(4, 4));
  EXPECT_FALSE(dib.Draw(surface, nullptr, {0, 0, 4, 4}, {0, 0, 4, 4}));  // no image
  MakeNumbered(dib);
  EXPECT_FALSE(dib.Draw(surface, nullptr, {10, 0, 14, 4}, {10, 0, 14, 4}));  // off the surface
  EXPECT_FALSE(dib.Draw(surface, nullptr, {0, 0, 4, 4}, {0, 0, 0, 4}));      // empty source
  EXPECT_TRUE(dib.Draw(surface, nullptr, {3, 3, 7, 7}, {3, 3, 7, 7}));
  CDib twoBits;
  ASSERT_TRUE(twoBits.Create(2, 4, 4));
  EXPECT_FALSE(twoBits.Draw(surface, nullptr, {0, 0, 4, 4}, {0, 0, 4, 4}));
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
  EXPECT_TRUE(dib.Draw(surface, eight.GetPalette(), {0, 0, 4, 4}, {0, 0, 4, 4}));
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
  EXPECT_TRUE(dib.Draw(surface, nullptr, all, all));
  EXPECT_EQ(surface.GetPixel(0, 65536), dib.GetColorTableEntry(9));
  EXPECT_EQ(surface.GetPixel(0, 65535), 0u);
}

}  // namespace
}  // namespace quillon
