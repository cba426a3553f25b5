#include <gtest/gtest.h>

#include <vector>

#include "extras/draw/dib_draw.h"
#include "extras/draw/font.h"
#include "tests/extras/draw/render_text_fixture.h"

namespace quillon {
namespace {

constexpr char kFontPath[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
using test::kHeight;
using test::kInk;
using test::kWidth;

class RenderTextTest : public test::RenderTextFixture {};

TEST_F(RenderTextTest, UnknownAlignLeavesTheImageAsItWas) {
  dib_.SetPixel32(3, 4, 0xFF00FF01u);  // the top byte survives the round trip as well
  const std::vector<uint8_t> before = Bits();
  EXPECT_TRUE(RenderText(dib_, "Hello", *font_, kInk, {0, 0, kWidth, kHeight}, 1));
  EXPECT_EQ(Bits(), before);
}

// Placement, clipping, the opaque cell and indexes passing as numbers are checked on every
// platform (render_text_test.cpp).

TEST(FontTest, RefusesWhatIsNotAFontOrHeight) {
  EXPECT_EQ(Font::Load("/nonexistent/font.ttf", 12), nullptr);
  EXPECT_EQ(Font::Load("/etc/passwd", 12), nullptr);
  EXPECT_EQ(Font::Load(kFontPath, 0), nullptr);
  CDib empty;
  if (auto font = Font::Load(kFontPath, 12)) {
    EXPECT_FALSE(RenderText(empty, "x", *font, 1, {0, 0, 4, 4}, 0));
    EXPECT_GT(font->TextWidth("xx"), font->TextWidth("x"));
    EXPECT_EQ(font->TextWidth(""), 0);
  }
}

}  // namespace
}  // namespace quillon
