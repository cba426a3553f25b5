// Files written by SaveBmp read by stb_image, the reference decoder: bit-field images above all,
// whose masks the file must carry for any other reader to take it.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <memory>
#include <string>
#include <vector>

#include "fixtures/image_writers.h"
#include "image/dib.h"
#include "image/image_decode.h"
#include "tests/support/scratch_dir.h"

namespace quillon {
namespace {

struct SavedCase {
  const char* what;
  test::BmpLayout layout;
  std::vector<uint32_t> rgb;  // what a reader must see, top row first, as 0xRRGGBB
};

TEST(BmpSaveReferenceTest, SavedFilesReadBackAsTheSamePictureElsewhere) {
  const SavedCase cases[] = {
      {"16-bit 5-6-5 bit fields", {16, 2, 1, {0xF800, 0x07FF}, {0xF800, 0x07E0, 0x001F}, 3, 0},
       {0xFF0000, 0x00FFFF}},
      {"32-bit bit fields, red in the low byte",
       {32, 2, 1, {0x000000FF, 0x00FF0000}, {0x000000FF, 0x0000FF00, 0x00FF0000}, 3, 0},
       {0xFF0000, 0x0000FF}},
      {"plain 24 bits", {24, 2, 1, {0x123456, 0xABCDEF}, {}}, {0x123456, 0xABCDEF}},
      {"8 bits with a table", {8, 2, 1, {1, 0}, {0x102030, 0x405060}}, {0x405060, 0x102030}},
  };
  test::ScratchDir scratch;
  for (const SavedCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<uint8_t> file = test::EncodeBmp(c.layout);
    CDib dib;
    ASSERT_EQ(DecodeBmp(file.data(), file.size(), dib), ImageStatus::kOk);
    const std::string path = scratch.path() + "/saved.bmp";
    ASSERT_TRUE(dib.SaveBmp(path.c_str()));

    int width = 0, height = 0, channels = 0;
    const std::unique_ptr<uint8_t, void (*)(void*)> rgb(
        stbi_load(path.c_str(), &width, &height, &channels, 3), stbi_image_free);
    ASSERT_NE(rgb, nullptr) << stbi_failure_reason();
    ASSERT_EQ(width, c.layout.width);
    ASSERT_EQ(height, c.layout.height);
    for (size_t i = 0; i < c.rgb.size(); ++i) {
      const uint8_t* p = rgb.get() + 3 * i;
      EXPECT_EQ(uint32_t{p[0]} << 16 | uint32_t{p[1]} << 8 | p[2], c.rgb[i]) << "pixel " << i;
    }
  }
}

}  // namespace
}  // namespace quillon
