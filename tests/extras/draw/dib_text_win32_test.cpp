// What RenderText and fonts do on Windows alone: GDI's colour references and face names.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "extras/draw/dib_draw.h"
#include "tests/extras/draw/test_font.h"

namespace quillon {
namespace {

// Pixel values reach GDI as colour references: a top byte GDI does not know makes SetPixel refuse
// the value, so that pixel comes back as the fresh bitmap's 0.
TEST(GdiRenderTextTest, PixelsWithATopByteDoNotSurviveTheRoundTrip) {
  const auto font = test::LoadTestFont(12);
  if (!font) GTEST_SKIP() << "no font " << test::TestFontName();
  CDib dib;
  ASSERT_TRUE(dib.Create(32, 3, 2));
  dib.SetPixel32(1, 1, 0xFF00FF01u);
  dib.SetPixel32(2, 0, 0x00ABCDEFu);
  ASSERT_TRUE(RenderText(dib, "x", *font, 0x00FFFFFFu, {0, 0, 3, 2}, 1));
  EXPECT_EQ(dib.GetPixel32(1, 1), 0u);
  EXPECT_EQ(dib.GetPixel32(2, 0), 0x00ABCDEFu);
}

TEST(GdiFontTest, FacesGdiWouldReplaceAreRefused) {
  EXPECT_EQ(Font::Load("No Such Face Anywhere", 12), nullptr);
  EXPECT_EQ(Font::Load("", 12), nullptr);
  EXPECT_EQ(Font::Load(std::string(40, 'T'), 12), nullptr);  // longer than a face name can be
  std::string name = test::TestFontName();
  if (name.empty()) GTEST_SKIP() << "no test font";
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const auto font = Font::Load(name, 12);  // face names are matched without case
  ASSERT_NE(font, nullptr);
  EXPECT_GT(font->LineHeight(), 11);
  EXPECT_GT(font->Ascent(), 0);
}

}  // namespace
}  // namespace quillon
