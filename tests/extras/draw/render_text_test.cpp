// RenderText as every platform shows it: placement, clipping, the opaque cell and pixel values
// passing through unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "extras/draw/dib_draw.h"
#include "extras/image/dib_paint.h"
#include "tests/extras/draw/render_text_fixture.h"
#include "tests/extras/draw/test_font.h"

namespace quillon {
namespace {

using test::kHeight;
using test::kInk;
using test::kPaper;
using test::kWidth;

class PlatformRenderTextTest : public test::RenderTextFixture {};

TEST_F(PlatformRenderTextTest, AnyOtherAlignCopiesTheImageThereAndBack) {
  for (int bit_count : {8, 24, 32}) {
    CDib dib;
    ASSERT_TRUE(dib.Create(bit_count, 7, 5));
    for (int32_t y = 0; y < 5; ++y) {
      for (int32_t x = 0; x < 7; ++x) {
        dib.SetPixel(x, y, static_cast<uint32_t>(0x10203 * (x + 9 * y)));
      }
    }
    const std::vector<uint8_t> before(dib.GetBits(), dib.GetBits() + dib.GetBitsSize());
    for (int align : {1, 3, -1}) {
      EXPECT_TRUE(RenderText(dib, "Hello", *font_, kInk, {0, 0, 7, 5}, align));
      EXPECT_EQ(std::vector<uint8_t>(dib.GetBits(), dib.GetBits() + dib.GetBitsSize()), before)
          << bit_count << " bits, align " << align;
    }
  }
}

TEST_F(PlatformRenderTextTest, AlignPlacesTheCellLeftRightOrCentred) {
  const Rect rect = {10, 0, 110, kHeight};
  const auto width = static_cast<int32_t>(font_->TextWidth("HH"));
  ASSERT_GT(width, 4);
  const struct {
    int align;
    int32_t cell_left;
  } cases[] = {{0, 10}, {2, 110 - width}, {6, 60 - width / 2}};
  for (const auto& c : cases) {
    Fill(dib_, kPaper);
    ASSERT_TRUE(RenderText(dib_, "HH", *font_, kInk, rect, c.align));
    const auto [left, right] = InkColumns();
    // The ink lies in the cell, its bearings no wider than a few pixels.
    EXPECT_GE(left, c.cell_left) << "align " << c.align;
    EXPECT_LE(left, c.cell_left + 3) << "align " << c.align;
    EXPECT_LT(right, c.cell_left + width) << "align " << c.align;
    EXPECT_GE(right, c.cell_left + width - 4) << "align " << c.align;
  }
}

TEST_F(PlatformRenderTextTest, DrawingStaysInsideTheRectangle) {
  const Rect rect = {20, 5, 40, 15};
  for (int align : {0, 2, 6}) {
    Fill(dib_, kPaper);
    ASSERT_TRUE(RenderText(dib_, "WWWWWWWW", *font_, kInk, rect, align));
    bool changed_inside = false;
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) {
        const bool inside = x >= 20 && x < 40 && y >= 5 && y < 15;
        if (!inside) {
          ASSERT_EQ(dib_.GetPixel32(x, y), kPaper) << x << "," << y << " align " << align;
        }
        changed_inside |= inside && dib_.GetPixel32(x, y) != kPaper;
      }
    }
    EXPECT_TRUE(changed_inside) << "align " << align;
  }
}

TEST_F(PlatformRenderTextTest, TheCellHoldsOnlyTextColourAndBackgroundZero) {
  ASSERT_TRUE(RenderText(dib_, "Ag", *font_, kInk, {0, 0, kWidth, kHeight}, 0));
  const int64_t cell_width = font_->TextWidth("Ag");
  const int32_t cell_height = std::min(font_->LineHeight(), kHeight);
  int32_t inked = 0;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const uint32_t pixel = dib_.GetPixel32(x, y);
      if (x < cell_width && y < cell_height) {
        ASSERT_TRUE(pixel == kInk || pixel == 0) << x << "," << y;
        inked += pixel == kInk;
      } else {
        ASSERT_EQ(pixel, kPaper) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inked, 20);
}

TEST_F(PlatformRenderTextTest, IndexesPassAsNumbers) {
  CDib eight;
  ASSERT_TRUE(eight.Create(8, 40, kHeight));
  Fill(eight, 3);
  ASSERT_TRUE(RenderText(eight, "I", *font_, 0x000000FEu, {0, 0, 40, kHeight}, 0));
  bool saw_ink = false;
  for (int32_t x = 0; x < 40; ++x) {
    for (int32_t y = 0; y < kHeight; ++y) {
      const uint32_t index = eight.GetPixel8(x, y);
      ASSERT_TRUE(index == 0xFE || index == 0 || index == 3) << x << "," << y;
      saw_ink |= index == 0xFE;
    }
  }
  EXPECT_TRUE(saw_ink);
  EXPECT_EQ(eight.GetPixel8(39, 0), 3u);
}

TEST_F(PlatformRenderTextTest, FontsRefuseAHeightBelowOne) {
  EXPECT_EQ(Font::Load(test::TestFontName(), 0), nullptr);
  EXPECT_EQ(Font::Load(test::TestFontName(), -3), nullptr);
  EXPECT_GT(font_->TextWidth("xx"), font_->TextWidth("x"));
  EXPECT_EQ(font_->TextWidth(""), 0);
  CDib empty;
  EXPECT_FALSE(RenderText(empty, "x", *font_, 1, {0, 0, 4, 4}, 0));
}

}  // namespace
}  // namespace quillon
