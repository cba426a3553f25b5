#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <tuple>
#include <vector>

#include "image/dib.h"
#include "image/font.h"

namespace quillon {
namespace {

constexpr char kFontPath[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
constexpr uint32_t kPaper = 0x00123456u;
constexpr uint32_t kInk = 0x00FFFFFFu;
constexpr int32_t kWidth = 120;
constexpr int32_t kHeight = 24;

class RenderTextTest : public testing::Test {
 protected:
  void SetUp() override {
    font_ = Font::Load(kFontPath, 16);
    if (!font_) GTEST_SKIP() << "no " << kFontPath << " (package fonts-dejavu-core)";
    ASSERT_TRUE(dib_.Create(32, kWidth, kHeight));
    dib_.Fill(kPaper);
  }

  std::vector<uint8_t> Bits() const {
    return std::vector<uint8_t>(dib_.GetBits(), dib_.GetBits() + dib_.GetHeader()->biSizeImage);
  }

  // Columns from the first to the last that hold ink; {-1, -1} when none does.
  std::pair<int32_t, int32_t> InkColumns() const {
    std::pair<int32_t, int32_t> span = {-1, -1};
    for (int32_t x = 0; x < kWidth; ++x) {
      for (int32_t y = 0; y < kHeight; ++y) {
        if (dib_.GetPixel32(x, y) != kInk) continue;
        if (span.first < 0) span.first = x;
        span.second = x;
      }
    }
    return span;
  }

  std::unique_ptr<Font> font_;
  CDib dib_;
};

TEST_F(RenderTextTest, UnknownAlignLeavesTheImageAsItWas) {
  dib_.SetPixel32(3, 4, 0xFF00FF01u);  // the top byte survives the round trip as well
  const std::vector<uint8_t> before = Bits();
  EXPECT_TRUE(dib_.RenderText("Hello", *font_, kInk, {0, 0, kWidth, kHeight}, 1));
  EXPECT_EQ(Bits(), before);
}

TEST_F(RenderTextTest, AlignPlacesTheTextLeftRightOrCentred) {
  const Rect rect = {10, 0, 110, kHeight};
  const int32_t textWidth = static_cast<int32_t>(font_->TextWidth("HH"));

  ASSERT_TRUE(dib_.RenderText("HH", *font_, kInk, rect, 0));
  auto [left, right] = InkColumns();
  EXPECT_GE(left, 10);
  EXPECT_LE(right, 10 + textWidth);
  EXPECT_LE(left, 13);

  dib_.Fill(kPaper);
  ASSERT_TRUE(dib_.RenderText("HH", *font_, kInk, rect, 2));
  std::tie(left, right) = InkColumns();
  EXPECT_GE(left, 110 - textWidth);
  EXPECT_LT(right, 110);
  EXPECT_GE(right, 106);

  dib_.Fill(kPaper);
  ASSERT_TRUE(dib_.RenderText("HH", *font_, kInk, rect, 6));
  std::tie(left, right) = InkColumns();
  EXPECT_NEAR((left + right) / 2.0, 60.0, 2.0);
}

TEST_F(RenderTextTest, TextIsSolidOnAnOpaqueCell) {
  ASSERT_TRUE(dib_.RenderText("Ag", *font_, kInk, {0, 0, kWidth, kHeight}, 0));
  const int64_t cellWidth = font_->TextWidth("Ag");
  const int32_t cellHeight = std::min(font_->LineHeight(), kHeight);
  int32_t inked = 0;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const uint32_t pixel = dib_.GetPixel32(x, y);
      if (x < cellWidth && y < cellHeight) {
        // No antialiasing: the cell holds only text colour and background 0.
        EXPECT_TRUE(pixel == kInk || pixel == 0) << x << "," << y;
        inked += pixel == kInk;
      } else {
        EXPECT_EQ(pixel, kPaper) << x << "," << y;
      }
    }
  }
  EXPECT_GT(inked, 20);
}

TEST_F(RenderTextTest, DrawingStaysInsideTheRectangle) {
  const Rect rect = {20, 5, 40, 15};
  ASSERT_TRUE(dib_.RenderText("WWWWWWWW", *font_, kInk, rect, 0));
  bool changedInside = false;
  for (int32_t y = 0; y < kHeight; ++y) {
    for (int32_t x = 0; x < kWidth; ++x) {
      const bool inside = x >= 20 && x < 40 && y >= 5 && y < 15;
      if (!inside) {
        EXPECT_EQ(dib_.GetPixel32(x, y), kPaper) << x << "," << y;
      }
      changedInside |= inside && dib_.GetPixel32(x, y) != kPaper;
    }
  }
  EXPECT_TRUE(changedInside);
}

TEST_F(RenderTextTest, PixelValuesPassAsNumbersAtOtherDepths) {
  CDib eight;
  ASSERT_TRUE(eight.Create(8, 40, kHeight));
  eight.Fill(3);
  ASSERT_TRUE(eight.RenderText("I", *font_, 0x000000FEu, {0, 0, 40, kHeight}, 0));
  // The text colour's low byte becomes the index; the cell is index 0; the rest stays 3.
  bool sawInk = false;
  for (int32_t x = 0; x < 40; ++x) {
    for (int32_t y = 0; y < kHeight; ++y) {
      const uint32_t index = eight.GetPixel8(x, y);
      EXPECT_TRUE(index == 0xFE || index == 0 || index == 3);
      sawInk |= index == 0xFE;
    }
  }
  EXPECT_TRUE(sawInk);
  EXPECT_EQ(eight.GetPixel8(39, 0), 3u);
}

TEST(FontTest, RefusesWhatIsNotAFontOrHeight) {
  EXPECT_EQ(Font::Load("/nonexistent/font.ttf", 12), nullptr);
  EXPECT_EQ(Font::Load("/etc/passwd", 12), nullptr);
  EXPECT_EQ(Font::Load(kFontPath, 0), nullptr);
  CDib empty;
  if (auto font = Font::Load(kFontPath, 12)) {
    EXPECT_FALSE(empty.RenderText("x", *font, 1, {0, 0, 4, 4}, 0));
    EXPECT_GT(font->TextWidth("xx"), font->TextWidth("x"));
    EXPECT_EQ(font->TextWidth(""), 0);
  }
}

}  // namespace
}  // namespace quillon
