#include "extras/image/dib_ppm.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/scratch_dir.h"

namespace quillon {
namespace {

const std::string kHeader2x2 = "P6\n#Created by Varnel!\n2 2\n255\n";

TEST(DibPpmTest, TrueColourPixelsAreWrittenRedGreenBlueFromTheTop) {
  test::ScratchDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Create(32, 2, 2));
  dib.SetPixel32(0, 0, 0xFF112233u);  // the top byte is not written
  dib.SetPixel32(1, 0, 0x00445566u);
  dib.SetPixel32(1, 1, 0x00ABCDEFu);
  ASSERT_TRUE(SavePpm(dib, (dir.path() + "/a.ppm").c_str()));
  EXPECT_EQ(dir.ReadFile("a.ppm"),
            kHeader2x2 + "\x11\x22\x33\x44\x55\x66" + std::string(3, '\0') + "\xAB\xCD\xEF");

  CDib rgb;
  ASSERT_TRUE(rgb.Create(24, 3, 1));
  rgb.SetPixel24(0, 0, 0x112233u);
  ASSERT_TRUE(SavePpm(rgb, (dir.path() + "/b.ppm").c_str()));
  EXPECT_EQ(dir.ReadFile("b.ppm"),
            "P6\n#Created by Varnel!\n3 1\n255\n\x11\x22\x33" + std::string(6, '\0'));
}

TEST(DibPpmTest, PaletteIndexesAreWrittenUnlookedUp) {
  test::ScratchDir dir;
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 2, 2));
  dib.SetPixel8(0, 0, 7);
  dib.SetPixel8(1, 1, 255);
  ASSERT_TRUE(SavePpm(dib, (dir.path() + "/i.ppm").c_str()));
  using namespace std::string_literals;
  EXPECT_EQ(dir.ReadFile("i.ppm"), kHeader2x2 + "\0\0\x07\0\0\0\0\0\0\0\0\xFF"s);
}

TEST(DibPpmTest, RefusesWithoutAnImageOrAFile) {
  test::ScratchDir dir;
  CDib dib;
  EXPECT_FALSE(SavePpm(dib, (dir.path() + "/none.ppm").c_str()));
  EXPECT_FALSE(dir.Exists("none.ppm"));
  ASSERT_TRUE(dib.Create(8, 1, 1));
  EXPECT_FALSE(SavePpm(dib, (dir.path() + "/missing/x.ppm").c_str()));
}

}  // namespace
}  // namespace quillon
