// What Draw does to a real GDI device context, and what it keeps from GDI.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "extras/draw/dib_draw.h"
#include "extras/draw/draw_surface.h"
#include "fixtures/image_writers.h"
#include "image/image_decode.h"

namespace quillon {
namespace {

HDC ContextOf(const DrawSurface& surface) { return static_cast<HDC>(surface.native_handle()); }

TEST(GdiDrawTest, LeavesColorOnColorAndPutsThePaletteBack) {
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(4, 4));
  HDC context = ContextOf(surface);
  ASSERT_NE(context, nullptr);
  SetStretchBltMode(context, HALFTONE);
  HGDIOBJ before = GetCurrentObject(context, OBJ_PAL);
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 2, 2));
  EXPECT_TRUE(Draw(dib, surface, dib.GetPalette(), {0, 0, 4, 4}, {0, 0, 2, 2}));
  EXPECT_EQ(GetStretchBltMode(context), COLORONCOLOR);
  EXPECT_EQ(GetCurrentObject(context, OBJ_PAL), before);

  const auto other = Palette::Create({{1, 2, 3, 0}});
  ASSERT_TRUE(other);
  surface.SelectPalette(other.get());
  EXPECT_EQ(GetCurrentObject(context, OBJ_PAL), other->native_handle());
  EXPECT_TRUE(Draw(dib, surface, dib.GetPalette(), {0, 0, 2, 2}, {0, 0, 2, 2}));
  EXPECT_EQ(GetCurrentObject(context, OBJ_PAL), other->native_handle());
  surface.SelectPalette(nullptr);
  EXPECT_EQ(GetCurrentObject(context, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
}

// GDI reads a full colour table when biClrUsed is 0: an image whose header block lacks it is
// not handed over.
TEST(GdiDrawTest, HeaderBlocksWithoutTheTableGdiReadsAreNotDrawn) {
  test::BmpLayout layout;
  layout.bit_count = 8;
  layout.width = 2;
  layout.height = 2;
  layout.pixels = {1, 2, 3, 4};
  layout.colors_used = 0;
  const std::vector<uint8_t> file = test::EncodeBmp(layout);
  CDib dib;
  ASSERT_EQ(DecodeBmp(file.data(), file.size(), dib), ImageStatus::kOk);
  DrawSurface surface;
  ASSERT_TRUE(surface.Create(2, 2));
  surface.FillRect({0, 0, 2, 2}, 99);
  EXPECT_FALSE(Draw(dib, surface, nullptr, {0, 0, 2, 2}, {0, 0, 2, 2}));
  EXPECT_FALSE(Draw(dib, surface, nullptr, {0, 0, 2, 2}, {0, 0, 1, 1}));
  EXPECT_EQ(surface.GetPixel(0, 0), 99u);
  EXPECT_EQ(surface.GetPixel(1, 1), 99u);
}

}  // namespace
}  // namespace quillon
