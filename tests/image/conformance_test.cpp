// Real files of others (BMP Suite 2.8, Truevision and further TGA samples) read by CDib and by
// stb_image, which must agree on every pixel of every file that CDib accepts.
//
// What is compared:
// - 1, 4 and 8 bits: the colour-table entry of the pixel's index, as red, green and blue.
// - 24 bits: red, green and blue exactly.
// - 16 and 32-bit BMP: each channel through the file's masks (the default 5-5-5 or 8-8-8 when it
//   has no bit fields); a channel of n bits is compared on its top min(n, 8) bits, since stb_image
//   widens narrow channels to 8 bits and narrows wide ones. BMP alpha is not compared: the
//   class keeps the fourth byte as it stands, while stb_image makes up an opaque alpha for files
//   whose alpha is all zero.
// - 32-bit TGA: all four bytes, alpha included.
#include <gtest/gtest.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "image/dib.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;

const fs::path kTestdata = QUILLON_TESTDATA_DIR;

std::vector<fs::path> FilesIn(const fs::path& folder, const std::string& extension) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == extension) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

struct Reference {
  int width = 0, height = 0;
  std::unique_ptr<uint8_t, void (*)(void*)> rgba{nullptr, stbi_image_free};
  const uint8_t* At(int32_t x, int32_t y) const {
    return rgba.get() +
           4 * (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x));
  }
};

Reference LoadReference(const fs::path& path) {
  Reference reference;
  int channels = 0;
  reference.rgba.reset(
      stbi_load(path.string().c_str(), &reference.width, &reference.height, &channels, 4));
  return reference;
}

struct Masks {
  uint32_t red, green, blue;
};

Masks PixelMasks(const CDib& dib) {
  if (dib.GetHeader()->biCompression == 3) {
    const uint8_t* fields = dib.GetInfo() + sizeof(BitmapInfoHeader);
    return {LoadU32Le(fields), LoadU32Le(fields + 4), LoadU32Le(fields + 8)};
  }
  if (dib.GetBitCount() == 16) return {0x7C00, 0x03E0, 0x001F};
  return {0xFF0000, 0x00FF00, 0x0000FF};
}

bool ChannelMatches(uint32_t pixel, uint32_t mask, uint8_t reference) {
  if (mask == 0) return true;
  int shift = 0;
  while ((mask >> shift & 1u) == 0) ++shift;
  const int bits = __builtin_popcount(mask);
  const int kept = std::min(bits, 8);
  const uint32_t value = (pixel & mask) >> shift;
  return value >> (bits - kept) == static_cast<uint32_t>(reference >> (8 - kept));
}

bool RgbMatches(uint32_t color, const uint8_t* rgba) {
  return (color >> 16 & 0xFF) == rgba[0] && (color >> 8 & 0xFF) == rgba[1] &&
         (color & 0xFF) == rgba[2];
}

bool PixelMatches(const CDib& dib, int32_t x, int32_t y, const uint8_t* rgba, bool tga) {
  const uint32_t pixel = dib.GetPixel(x, y);
  switch (dib.GetBitCount()) {
    case 24:
      return RgbMatches(pixel, rgba);
    case 32:
      if (tga) return RgbMatches(pixel, rgba) && pixel >> 24 == rgba[3];
      [[fallthrough]];
    case 16: {
      const Masks masks = PixelMasks(dib);
      return ChannelMatches(pixel, masks.red, rgba[0]) &&
             ChannelMatches(pixel, masks.green, rgba[1]) &&
             ChannelMatches(pixel, masks.blue, rgba[2]);
    }
    default:
      return RgbMatches(dib.GetColorTableEntry(pixel), rgba);
  }
}

// Compares every pixel with the reference decoder's reading of `reference_path`; the first
// mismatch is reported.
void ExpectSamePixels(const CDib& dib, const fs::path& path, bool tga,
                      const fs::path& reference_path) {
  const Reference reference = LoadReference(reference_path);
  ASSERT_NE(reference.rgba, nullptr) << path << ": the reference decoder refused it";
  ASSERT_EQ(reference.width, dib.GetWidth()) << path;
  ASSERT_EQ(reference.height, dib.GetHeight()) << path;
  for (int32_t y = 0; y < dib.GetHeight(); ++y) {
    for (int32_t x = 0; x < dib.GetWidth(); ++x) {
      ASSERT_TRUE(PixelMatches(dib, x, y, reference.At(x, y), tga))
          << path << " at " << x << ", " << y << ": pixel " << std::hex << dib.GetPixel(x, y);
    }
  }
}

// Touches every pixel and colour the way a builder would.
uint64_t ReadEverything(const CDib& dib) {
  uint64_t sum = 0;
  for (int32_t y = 0; y < dib.GetHeight(); ++y) {
    for (int32_t x = 0; x < dib.GetWidth(); ++x) {
      sum += dib.GetPixel(x, y);
      sum += dib.GetColorTableEntry(dib.GetPixel(x, y));
    }
  }
  return sum;
}

void Summarize(const std::string& what, const std::vector<std::string>& accepted,
               const std::vector<std::string>& refused) {
  std::cout << what << ": accepted " << accepted.size() << ", refused " << refused.size() << ":";
  for (const std::string& name : refused) std::cout << ' ' << name;
  std::cout << '\n';
}

// stb_image refuses two good files that carry a colour table above 8 bits ("bad offset") and
// the run-length ones; they are compared with the suite's own PNG of the same picture instead.
fs::path GoodBmpReference(const fs::path& path) {
  const fs::path html = path.parent_path().parent_path() / "html";
  if (path.filename() == "rgb24pal.bmp") return html / "rgb24.png";
  if (path.filename() == "rgb16-565pal.bmp") return html / "rgb16-565.png";
  if (path.filename() == "pal4rle.bmp") return html / "pal4.png";
  if (path.filename() == "pal8rle.bmp") return html / "pal8.png";
  return path;
}

class ConformanceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!fs::is_directory(kTestdata / "bmpsuite") || !fs::is_directory(kTestdata / "tga")) {
      GTEST_SKIP() << "no test data at " << kTestdata;
    }
  }
};

TEST_F(ConformanceTest, GoodBmpFilesMatchTheReferenceOrAreKnownRefusals) {
  // The OS/2 header has 16-bit sizes and 3-byte entries.
  const std::set<std::string> expected_refusals = {"pal8os2.bmp"};
  std::vector<std::string> accepted, refused;
  for (const fs::path& path : FilesIn(kTestdata / "bmpsuite" / "g", ".bmp")) {
    CDib dib;
    if (!dib.LoadBmp(path.string().c_str())) {
      refused.push_back(path.filename().string());
      continue;
    }
    accepted.push_back(path.filename().string());
    ExpectSamePixels(dib, path, false, GoodBmpReference(path));
  }
  Summarize("bmpsuite/g", accepted, refused);
  EXPECT_EQ(std::set<std::string>(refused.begin(), refused.end()), expected_refusals);
}

TEST_F(ConformanceTest, QuestionableBmpFilesThatBothReadersTakeMatch) {
  std::vector<std::string> accepted, refused;
  for (const fs::path& path : FilesIn(kTestdata / "bmpsuite" / "q", ".bmp")) {
    CDib dib;
    if (!dib.LoadBmp(path.string().c_str())) {
      refused.push_back(path.filename().string());
      continue;
    }
    accepted.push_back(path.filename().string());
    ReadEverything(dib);
    // Run-length files the reference cannot read: the suite's PNG with skipped pixels as
    // index 0.
    const fs::path skipped_as_zero =
        path.parent_path().parent_path() / "html" / (path.stem().string() + "-0.png");
    if (LoadReference(path).rgba) {
      ExpectSamePixels(dib, path, false, path);
    } else if (fs::exists(skipped_as_zero)) {
      ExpectSamePixels(dib, path, false, skipped_as_zero);
    }
  }
  Summarize("bmpsuite/q", accepted, refused);
}

TEST_F(ConformanceTest, BadBmpFilesAreRefusedOrReadSafely) {
  std::vector<std::string> accepted, refused;
  for (const fs::path& path : FilesIn(kTestdata / "bmpsuite" / "b", ".bmp")) {
    CDib dib;
    if (!dib.LoadBmp(path.string().c_str())) {
      refused.push_back(path.filename().string());
      EXPECT_FALSE(dib.HasImage()) << path;
      continue;
    }
    accepted.push_back(path.filename().string());
    ReadEverything(dib);
  }
  Summarize("bmpsuite/b", accepted, refused);
}

TEST_F(ConformanceTest, AcceptedTgaFilesMatchTheReference) {
  // Run-length (types 9 to 11), greyscale (type 3) and 16-bit true-colour files are refused.
  const std::set<std::string> expected_accepted = {"ucm8.tga",
                                                  "utc24.tga",
                                                  "utc32.tga",
                                                  "rgb24_top_left.tga",
                                                  "rgb24_top_left_colormap.tga",
                                                  "rgb32_bottom_left.tga"};
  std::vector<std::string> accepted, refused;
  for (const fs::path& path : FilesIn(kTestdata / "tga", ".tga")) {
    CDib dib;
    if (!dib.LoadTga(path.string().c_str())) {
      refused.push_back(path.filename().string());
      continue;
    }
    accepted.push_back(path.filename().string());
    ExpectSamePixels(dib, path, true, path);
  }
  Summarize("tga", accepted, refused);
  EXPECT_EQ(std::set<std::string>(accepted.begin(), accepted.end()), expected_accepted);
}

}  // namespace
}  // namespace quillon
