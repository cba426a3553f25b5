#include "image/image_encode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image/dib.h"
#include "tests/support/scratch_dir.h"

namespace quillon {
namespace {

uint32_t Pattern(uint32_t x, uint32_t y) { return 0x80FF0000u + y * 0x010203u + x * 37u; }

// Files the run's loaders read back pixel for pixel, at every depth and at widths with and
// without row padding.
TEST(ImageEncodeTest, IndexedBmpLoadsBackWithItsIndicesAndColourTable) {
  test::ScratchDir dir;
  const std::vector<uint32_t> palette = {0x112233, 0x445566, 0xFF000000u | 0x778899};
  for (const int bits : {1, 4, 8}) {
    const uint32_t entries = 1u << bits;
    for (const uint32_t width : {1u, 4u, 5u, 7u, 9u, 33u}) {
      SCOPED_TRACE(std::to_string(bits) + " bits, width " + std::to_string(width));
      const std::string path =
          dir.WriteFile("i.bmp", EncodeIndexedBmp(bits, width, 3, Pattern, palette));
      CDib image;
      ASSERT_TRUE(image.LoadBmp(path.c_str()));
      ASSERT_EQ(image.GetBitCount(), bits);
      ASSERT_EQ(image.GetWidth(), static_cast<int32_t>(width));
      ASSERT_EQ(image.GetHeight(), 3);
      for (uint32_t y = 0; y < 3; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
          EXPECT_EQ(image.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)),
                    Pattern(x, y) & (entries - 1));
        }
      }
      // In index order, the reserved byte cleared, black beyond the palette.
      EXPECT_EQ(image.GetColorTableEntry(0), 0x112233u);
      EXPECT_EQ(image.GetColorTableEntry(1), 0x445566u);
      if (bits > 1) {
        EXPECT_EQ(image.GetColorTableEntry(2), 0x778899u);
        EXPECT_EQ(image.GetColorTableEntry(3), 0u);
      }
      EXPECT_EQ(image.GetHeader()->biClrUsed, entries);
    }
  }
}

TEST(ImageEncodeTest, IndexedBmpTakesAtMost256Colours) {
  std::vector<uint32_t> palette(300, 0x010101);
  const std::vector<uint8_t> file = EncodeIndexedBmp(8, 2, 2, Pattern, palette);
  EXPECT_EQ(file.size(), 14u + 40 + 1024 + 4 * 2);
}

TEST(ImageEncodeTest, TrueColorTgasLoadBackWithEveryChannelAndAlphaAt32Bits) {
  const struct {
    std::vector<uint8_t> (*encode)(uint16_t, uint16_t, const PixelSource&);
    int bits;
    uint32_t kept;  // the bits of each pixel the file holds
  } cases[] = {{EncodeTga32, 32, 0xFFFFFFFFu}, {EncodeTga24, 24, 0xFFFFFFu}};
  test::ScratchDir dir;
  for (const auto& c : cases) {
    const std::string path = dir.WriteFile("t.tga", c.encode(5, 3, Pattern));
    CDib image;
    ASSERT_TRUE(image.LoadTga(path.c_str())) << c.bits;
    ASSERT_EQ(image.GetBitCount(), c.bits);
    for (uint32_t y = 0; y < 3; ++y) {
      for (uint32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(image.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)),
                  Pattern(x, y) & c.kept)
            << c.bits;
      }
    }
  }
}

}  // namespace
}  // namespace quillon
