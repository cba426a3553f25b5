#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "fixtures/image_writers.h"
#include "image/dib.h"
#include "image/image_decode.h"
#include "tests/support/scratch_dir.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

using test::EncodeTga;
using test::EncodeTrueColorTga;
using test::TgaLayout;

class TgaTest : public testing::Test {
 protected:
  std::string Write(const std::vector<uint8_t>& bytes, const std::string& name = "in.tga") {
    return scratch_.WriteFile(name, bytes);
  }
  std::vector<uint8_t> Read(const std::string& name) const {
    const std::string text = scratch_.ReadFile(name);
    return std::vector<uint8_t>(text.begin(), text.end());
  }
  std::string PathOf(const std::string& name) const { return scratch_.path() + "/" + name; }
  test::ScratchDir scratch_;
};

const std::vector<uint32_t> kFourPixels = {0x030201, 0x060504, 0x090807, 0x0C0B0A};

TEST_F(TgaTest, TheDescriptorChoosesTheRowOrder) {
  CDib dib;
  ASSERT_TRUE(dib.LoadTga(Write(EncodeTrueColorTga(24, 2, 2, kFourPixels, 0x20)).c_str()));
  EXPECT_EQ(dib.GetBitCount(), 24);
  EXPECT_EQ(dib.GetPixel(0, 0), 0x030201u);
  EXPECT_EQ(dib.GetPixel(1, 1), 0x0C0B0Au);

  // The same bytes read bottom row first.
  std::vector<uint8_t> bytes = EncodeTrueColorTga(24, 2, 2, kFourPixels, 0x20);
  bytes[17] = 0;
  ASSERT_TRUE(dib.LoadTga(Write(bytes).c_str()));
  EXPECT_EQ(dib.GetPixel(0, 1), 0x030201u);
  EXPECT_EQ(dib.GetPixel(1, 0), 0x0C0B0Au);
}

TEST_F(TgaTest, TrueColourFilesRoundTripWithTheirRowOrder) {
  const std::vector<uint32_t> pixels = {0x80112233, 0x01445566, 0xFF778899,
                                        0x00AABBCC, 0x7FDDEEFF, 0x10203040};
  const std::pair<int, uint8_t> cases[] = {{24, 0x20}, {24, 0x00}, {32, 0x28}, {32, 0x08}};
  for (const auto& [depth, descriptor] : cases) {
    SCOPED_TRACE(testing::Message() << depth << " bits, descriptor " << int{descriptor});
    std::vector<uint32_t> stored = pixels;
    if (depth == 24) {
      for (uint32_t& p : stored) p &= 0xFFFFFF;
    }
    const std::vector<uint8_t> file = EncodeTrueColorTga(depth, 3, 2, stored, descriptor);
    CDib dib;
    ASSERT_TRUE(dib.LoadTga(Write(file).c_str()));
    EXPECT_EQ(dib.GetPixel(2, 0), stored[2]);
    EXPECT_EQ(dib.GetPixel(0, 1), stored[3]);
    ASSERT_TRUE(dib.SaveTga(PathOf("out.tga").c_str()));
    EXPECT_EQ(Read("out.tga"), file);
  }
}

TEST_F(TgaTest, CreatedImagesSaveTopRowFirst) {
  CDib dib;
  ASSERT_TRUE(dib.Create(32, 1, 2));
  dib.SetPixel(0, 0, 0x01020304);
  ASSERT_TRUE(dib.SaveTga(PathOf("out.tga").c_str()));
  const std::vector<uint8_t> file = Read("out.tga");
  ASSERT_EQ(file.size(), 18u + 8u);
  EXPECT_EQ(file[2], 2);
  EXPECT_EQ(file[16], 32);
  EXPECT_EQ(file[17], 0x28);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 18, file.begin() + 22),
            (std::vector<uint8_t>{4, 3, 2, 1}));
}

TEST_F(TgaTest, EightBitImagesSaveAsGreyscaleThatLoadRefuses) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 2, 2));
  dib.SetPixel(1, 0, 200);
  ASSERT_TRUE(dib.SaveTga(PathOf("grey.tga").c_str()));
  const std::vector<uint8_t> file = Read("grey.tga");
  ASSERT_EQ(file.size(), 22u);
  EXPECT_EQ(file[2], 3);
  EXPECT_EQ(file[16], 8);
  EXPECT_EQ(file[17], 0x28);
  EXPECT_EQ(std::vector<uint8_t>(file.begin() + 18, file.end()),
            (std::vector<uint8_t>{0, 200, 0, 0}));
  CDib again;
  EXPECT_FALSE(again.LoadTga(PathOf("grey.tga").c_str()));
}

TEST_F(TgaTest, SaveRefusesDepthsWithoutATgaForm) {
  for (int bit_count : {16, 4, 1}) {
    CDib dib;
    ASSERT_TRUE(dib.Create(bit_count, 2, 2));
    EXPECT_FALSE(dib.SaveTga(PathOf("no.tga").c_str())) << bit_count;
    EXPECT_FALSE(scratch_.Exists("no.tga"));
  }
}

TEST_F(TgaTest, RefusedImageTypesLeaveAZeroedImageOfTheHeadersSize) {
  struct Case {
    uint8_t image_type, depth;
  };
  for (const Case c : {Case{2, 16}, Case{10, 24}, Case{9, 8}, Case{3, 8}, Case{11, 8}}) {
    TgaLayout layout;
    layout.image_type = c.image_type;
    layout.depth = c.depth;
    layout.width = 3;
    layout.height = 2;
    layout.pixels.assign(6, 0x7777);
    CDib dib;
    EXPECT_FALSE(dib.LoadTga(Write(EncodeTga(layout)).c_str())) << int{c.image_type};
    ASSERT_TRUE(dib.HasImage());
    EXPECT_EQ(dib.GetWidth(), 3);
    EXPECT_EQ(dib.GetBitCount(), c.depth);
    EXPECT_EQ(dib.GetPixel(1, 1), 0u);
  }
}

// A colour-mapped (type 1) file of one row of 8-bit indices.
TgaLayout ColourMappedRow(std::vector<uint32_t> indices, uint8_t map_entry_bits,
                          std::vector<uint32_t> map) {
  TgaLayout layout;
  layout.image_type = 1;
  layout.depth = 8;
  layout.width = static_cast<uint16_t>(indices.size());
  layout.height = 1;
  layout.pixels = std::move(indices);
  layout.color_map_type = 1;
  layout.map_entry_bits = map_entry_bits;
  layout.map = std::move(map);
  return layout;
}

TEST_F(TgaTest, ColourMapEntriesLandFromTheFirstIndexAndExtrasAreDropped) {
  TgaLayout layout = ColourMappedRow({250, 3}, 24, {});
  layout.map_first = 250;
  for (uint32_t i = 0; i < 10; ++i) layout.map.push_back(0x101010 * (i + 1));
  CDib dib;
  ASSERT_TRUE(dib.LoadTga(Write(EncodeTga(layout)).c_str()));
  EXPECT_EQ(dib.GetColorTableEntry(dib.GetPixel(0, 0)), 0x101010u);
  EXPECT_EQ(dib.GetColorTableEntry(255), 0x606060u);
  // Entry 3 keeps the default table.
  EXPECT_EQ(dib.GetColorTableEntry(dib.GetPixel(1, 0)), 0x00808000u);
  EXPECT_EQ(dib.GetPalette()->entries()[255].red, 0x60);
}

TEST_F(TgaTest, MapEntriesAreReadAtTheirStoredSize) {
  struct Case {
    uint8_t bits;
    uint32_t stored;
    uint32_t color;
  };
  const Case cases[] = {
      {16, 0x7C00 | 0x0010 | 0x8000, 0xFF0083},  // red 31, green 0, blue 16 of 31
      {15, 0x03E0, 0x00FF00},
      {24, 0xABCDEF, 0xABCDEF},
      {32, 0x80ABCDEF, 0x80ABCDEF},
  };
  for (const Case& c : cases) {
    const TgaLayout layout = ColourMappedRow({1, 0}, c.bits, {0, c.stored});
    CDib dib;
    ASSERT_TRUE(dib.LoadTga(Write(EncodeTga(layout)).c_str())) << int{c.bits};
    EXPECT_EQ(dib.GetColorTableEntry(dib.GetPixel(0, 0)), c.color) << int{c.bits};
  }
}

TEST_F(TgaTest, TheImageIdAndAnUnusedColourMapAreSkipped) {
  TgaLayout layout;
  layout.width = 2;
  layout.height = 2;
  layout.pixels = kFourPixels;
  layout.id = "Truevision sample, 26 ch.";
  layout.color_map_type = 1;
  layout.map_entry_bits = 15;
  layout.map = {1, 2, 3};
  CDib dib;
  ASSERT_TRUE(dib.LoadTga(Write(EncodeTga(layout)).c_str()));
  EXPECT_EQ(dib.GetPixel(0, 0), 0x030201u);
  EXPECT_EQ(dib.GetPixel(1, 1), 0x0C0B0Au);
}

TEST_F(TgaTest, ColourMappedFilesOtherThanEightBitIndicesAreRefused) {
  TgaLayout layout = ColourMappedRow({0}, 8, {1});  // no such entry size
  CDib dib;
  EXPECT_FALSE(dib.LoadTga(Write(EncodeTga(layout)).c_str()));
  layout.map_entry_bits = 24;
  layout.depth = 16;
  EXPECT_FALSE(dib.LoadTga(Write(EncodeTga(layout)).c_str()));
}

TEST_F(TgaTest, FilesShortOfTheirPixelsAreRefusedBeforeAnyImageIsMade) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 5, 5));
  std::vector<uint8_t> hostile = EncodeTrueColorTga(32, 0, 0, {}, 0x20);
  hostile[12] = hostile[13] = hostile[14] = hostile[15] = 0xFF;  // 65535 x 65535
  EXPECT_FALSE(dib.LoadTga(Write(hostile).c_str()));
  EXPECT_EQ(dib.GetWidth(), 5);  // the previous image stays

  const std::vector<uint8_t> whole = EncodeTrueColorTga(24, 2, 2, kFourPixels, 0);
  for (size_t length = 0; length < whole.size(); ++length) {
    EXPECT_FALSE(
        dib.LoadTga(Write(std::vector<uint8_t>(whole.data(), whole.data() + length)).c_str()))
        << length;
    EXPECT_EQ(DecodeTga(whole.data(), length, dib), ImageStatus::kTruncated) << length;
    EXPECT_EQ(dib.GetWidth(), 5) << length;
  }
  EXPECT_FALSE(dib.LoadTga(PathOf("missing.tga").c_str()));
  EXPECT_EQ(dib.GetWidth(), 5);
}

// What a refused file leaves in an object that held a 5 x 5 8-bit image.
enum class Leaves { kPreviousImage, kZeroedImageOfTheHeader };

struct Refusal {
  const char* what;
  std::vector<uint8_t> bytes;
  ImageStatus reason;
  Leaves leaves;
};

TEST_F(TgaTest, RefusalsGiveTheirReason) {
  using S = ImageStatus;
  using L = Leaves;
  // Header fields: ID length, map type, image type, map first (2), map length (2), map entry
  // bits, x and y origin (4), width (2), height (2), depth, descriptor.
  const Refusal refusals[] = {
      {"header cut short",
       {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24},
       S::kTruncated,
       L::kPreviousImage},
      {"15-bit true colour",
       {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 15, 0x20, 1, 2},
       S::kUnsupportedDepth,
       L::kPreviousImage},
      {"16-bit true colour",
       {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 16, 0x20, 1, 2},
       S::kUnsupportedDepth,
       L::kZeroedImageOfTheHeader},
      {"colour-mapped with 16-bit indices",
       {0, 1, 1, 0, 0, 1, 0, 24, 0, 0, 0, 0, 1, 0, 1, 0, 16, 0x20, 9, 9, 9, 0, 0},
       S::kUnsupportedDepth,
       L::kZeroedImageOfTheHeader},
      {"colour map of 8-bit entries",
       {0, 1, 1, 0, 0, 1, 0, 8, 0, 0, 0, 0, 1, 0, 1, 0, 8, 0x20, 9, 0},
       S::kUnsupportedDepth,
       L::kZeroedImageOfTheHeader},
      {"greyscale, type 3",
       {0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 8, 0x20, 7},
       S::kUnsupportedType,
       L::kZeroedImageOfTheHeader},
      {"run-length colour-mapped, type 9",
       {0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 8, 0, 7},
       S::kUnsupportedType,
       L::kZeroedImageOfTheHeader},
      {"run-length true colour, type 10, shorter than its pixels unpacked",
       {0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 1, 0, 24, 0, 0x83, 1, 2, 3},
       S::kUnsupportedType,
       L::kPreviousImage},
      {"zero width",
       {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 24, 0x20},
       S::kEmptyImage,
       L::kPreviousImage},
      {"zero height",
       {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 24, 0x20},
       S::kEmptyImage,
       L::kPreviousImage},
      {"pixels cut short",
       {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 1, 0, 24, 0x20, 1, 2, 3, 4, 5},
       S::kTruncated,
       L::kPreviousImage},
      {"colour map cut short",
       {0, 1, 1, 0, 0, 2, 0, 24, 0, 0, 0, 0, 1, 0, 1, 0, 8, 0x20, 1, 2, 3, 4, 5},
       S::kTruncated,
       L::kPreviousImage},
      {"image ID longer than the file",
       {200, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 24, 0x20, 1, 2, 3},
       S::kTruncated,
       L::kPreviousImage},
  };
  for (const Refusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    CDib dib;
    ASSERT_TRUE(dib.Create(8, 5, 5));
    EXPECT_EQ(DecodeTga(refusal.bytes.data(), refusal.bytes.size(), dib), refusal.reason);
    ASSERT_TRUE(dib.HasImage());
    if (refusal.leaves == Leaves::kPreviousImage) {
      EXPECT_EQ(dib.GetWidth(), 5);
      EXPECT_EQ(dib.GetBitCount(), 8);
    } else {
      EXPECT_EQ(dib.GetWidth(), LoadU16Le(refusal.bytes.data() + 12));
      EXPECT_EQ(dib.GetBitCount(), refusal.bytes[16]);
      EXPECT_EQ(dib.GetPixel(0, 0), 0u);
    }
  }
}

}  // namespace
}  // namespace quillon
