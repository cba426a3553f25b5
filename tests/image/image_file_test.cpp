#include "image/image_file.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "fixtures/image_writers.h"
#include "image/dib.h"
#include "tests/support/scratch_dir.h"

namespace quillon {
namespace {

using Loader = ImageStatus (*)(const std::string&, CDib&);

struct FileCase {
  const char* what;
  Loader load;
  std::vector<uint8_t> bytes;  // written as the file; none for a file that is not there
  bool exists;
  ImageStatus status;
};

TEST(ImageFileTest, LoadingByPathGivesTheDecodersReasonAndEmptiesTheImageOnFailure) {
  const std::vector<uint8_t> bmp = test::EncodeBmp({24, 2, 1, {0x010203, 0x040506}, {}});
  const std::vector<uint8_t> tga = test::EncodeTrueColorTga(24, 1, 1, {0x010203}, 0x20);
  std::vector<uint8_t> greyscale = tga;
  greyscale[2] = 3;
  const std::vector<uint8_t> cut(tga.begin(), tga.end() - 1);
  const FileCase cases[] = {
      {"a BMP", LoadBmpFile, bmp, true, ImageStatus::kOk},
      {"a TGA", LoadTgaFile, tga, true, ImageStatus::kOk},
      {"no BMP file", LoadBmpFile, {}, false, ImageStatus::kMissing},
      {"no TGA file", LoadTgaFile, {}, false, ImageStatus::kMissing},
      {"an empty BMP file", LoadBmpFile, {}, true, ImageStatus::kTruncated},
      {"a TGA read as a BMP", LoadBmpFile, tga, true, ImageStatus::kBadSignature},
      {"a BMP read as a TGA", LoadTgaFile, bmp, true, ImageStatus::kBmpNotTga},
      // Decoded alone, these two leave an image behind; by path nothing stays.
      {"a greyscale TGA", LoadTgaFile, greyscale, true, ImageStatus::kUnsupportedType},
      {"a TGA cut short", LoadTgaFile, cut, true, ImageStatus::kTruncated},
  };
  test::ScratchDir scratch;
  for (const FileCase& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path =
        c.exists ? scratch.WriteFile("image", c.bytes) : scratch.path() + "/none";
    CDib image;
    ASSERT_TRUE(image.Create(8, 3, 3));
    EXPECT_EQ(c.load(path, image), c.status);
    EXPECT_EQ(image.HasImage(), c.status == ImageStatus::kOk);
  }
  CDib image;
  EXPECT_EQ(LoadTgaFile(scratch.path(), image), ImageStatus::kMissing) << "a folder";
}

TEST(ImageStatusTest, EveryStatusHasItsOwnShortLowerCaseText) {
  std::set<std::string> texts;
  for (int i = 0; i <= static_cast<int>(ImageStatus::kOutOfMemory); ++i) {
    const std::string text = DescribeImageStatus(static_cast<ImageStatus>(i));
    SCOPED_TRACE(text);
    EXPECT_TRUE(texts.insert(text).second) << "repeated";
    EXPECT_NE(text, "unknown");
    EXPECT_LE(text.size(), 40u);
    EXPECT_EQ(text.find('!'), std::string::npos);
    // Lower case apart from the formats' names.
    for (size_t at = 0; at < text.size(); ++at) {
      const bool format = text.compare(at, 3, "BMP") == 0 || text.compare(at, 3, "PNG") == 0 ||
                          text.compare(at, 3, "TGA") == 0;
      if (format) at += 2;
      else EXPECT_FALSE(std::isupper(static_cast<unsigned char>(text[at])));
    }
  }
}

}  // namespace
}  // namespace quillon
