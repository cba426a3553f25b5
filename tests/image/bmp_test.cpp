#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fixtures/image_writers.h"
#include "image/dib.h"
#include "image/image_decode.h"
#include "tests/support/scratch_dir.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

using test::BmpLayout;
using test::EncodeBmp;

std::vector<uint32_t> Pattern(size_t count, uint32_t mask, uint32_t seed) {
  std::vector<uint32_t> values(count);
  uint32_t state = seed;
  for (uint32_t& v : values) {
    state = state * 1664525u + 1013904223u;
    v = (state >> 5) & mask;
  }
  return values;
}

uint32_t FieldAt(const std::string& file, size_t offset) {
  return LoadU32Le(reinterpret_cast<const uint8_t*>(file.data()) + offset);
}

class BmpTest : public testing::Test {
 protected:
  std::string Write(const std::vector<uint8_t>& bytes, const std::string& name = "in.bmp") {
    return scratch_.WriteFile(name, bytes);
  }
  test::ScratchDir scratch_;
};

TEST_F(BmpTest, EveryDepthRoundTripsThroughLoadAndSave) {
  const std::pair<int, uint32_t> depths[] = {{1, 1},       {4, 15},        {8, 255},
                                             {16, 0xFFFF}, {24, 0xFFFFFF}, {32, 0xFFFFFFFF}};
  for (const auto& [bit_count, mask] : depths) {
    SCOPED_TRACE(bit_count);
    BmpLayout layout;
    layout.bit_count = bit_count;
    layout.width = 13;  // odd, so that rows are padded at every depth
    layout.height = 5;
    layout.pixels = Pattern(13 * 5, mask, static_cast<uint32_t>(bit_count));
    if (bit_count <= 8) layout.palette = Pattern(size_t{1} << bit_count, 0xFFFFFF, 7);
    CDib dib;
    ASSERT_TRUE(dib.LoadBmp(Write(EncodeBmp(layout)).c_str()));
    for (int32_t y = 0; y < layout.height; ++y) {
      for (int32_t x = 0; x < layout.width; ++x) {
        ASSERT_EQ(dib.GetPixel(x, y), layout.pixels[static_cast<size_t>(y * layout.width + x)])
            << x << ", " << y;
      }
    }
    if (bit_count == 4 || bit_count == 8) {
      EXPECT_EQ(dib.GetColorTableEntry(dib.GetPixel(3, 2)),
                layout.palette[layout.pixels[2 * 13 + 3]]);
    }
    EXPECT_EQ(dib.GetPalette(), nullptr);

    const std::string saved = scratch_.path() + "/out.bmp";
    ASSERT_TRUE(dib.SaveBmp(saved.c_str()));
    CDib again;
    ASSERT_TRUE(again.LoadBmp(saved.c_str()));
    EXPECT_EQ(std::vector<uint8_t>(again.GetBits(), again.GetBits() + 5 * again.GetStride()),
              std::vector<uint8_t>(dib.GetBits(), dib.GetBits() + 5 * dib.GetStride()));
  }
}

TEST_F(BmpTest, LoadTakesTheStrideFromWidthAndDepthNotFromTheFile) {
  const std::pair<BmpLayout, int32_t> cases[] = {
      {{1, 33, 3, std::vector<uint32_t>(99, 1), {0, 0xFFFFFF}}, 8},
      {{24, 3, 2, std::vector<uint32_t>(6, 0x010203), {}}, 12},
  };
  for (const auto& [layout, stride] : cases) {
    std::vector<uint8_t> bytes = EncodeBmp(layout);
    StoreU32Le(bytes.data() + 34, 12345);  // a biSizeImage the loader must ignore
    CDib dib;
    ASSERT_TRUE(dib.LoadBmp(Write(bytes).c_str()));
    EXPECT_EQ(dib.GetStride(), stride);
    EXPECT_EQ(dib.GetHeader()->biSizeImage, static_cast<uint32_t>(stride * layout.height));
  }
}

TEST_F(BmpTest, SaveWritesTheTableThatBiClrUsedCounts) {
  CDib created;
  ASSERT_TRUE(created.Create(8, 4, 2));
  const std::string path = scratch_.path() + "/created.bmp";
  ASSERT_TRUE(created.SaveBmp(path.c_str()));
  const std::string file = scratch_.ReadFile("created.bmp");
  EXPECT_EQ(file.size(), 1086u);
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(FieldAt(file, 2), 1086u);
  EXPECT_EQ(FieldAt(file, 10), 1078u);
  EXPECT_EQ(FieldAt(file, 14), 40u);

  // An 8-bit file whose biClrUsed is 0 keeps its table on load but saves none.
  BmpLayout layout{8, 2, 2, {1, 2, 3, 4}, std::vector<uint32_t>(256, 0x123456), 0, 0};
  CDib loaded;
  ASSERT_TRUE(loaded.LoadBmp(Write(EncodeBmp(layout)).c_str()));
  EXPECT_EQ(loaded.GetColorTableEntry(loaded.GetPixel(0, 0)), 0x123456u);
  ASSERT_TRUE(loaded.SaveBmp((scratch_.path() + "/zero.bmp").c_str()));
  EXPECT_EQ(FieldAt(scratch_.ReadFile("zero.bmp"), 10), 54u);
}

TEST_F(BmpTest, SaveOfAnEmptyObjectCreatesNoFile) {
  CDib empty;
  EXPECT_FALSE(empty.SaveBmp((scratch_.path() + "/none.bmp").c_str()));
  EXPECT_FALSE(scratch_.Exists("none.bmp"));
}

TEST_F(BmpTest, TopDownFilesLoadAsThePictureTheyHold) {
  BmpLayout layout{8, 3, -2, {1, 2, 3, 4, 5, 6}, std::vector<uint32_t>(256, 0)};
  CDib dib;
  ASSERT_TRUE(dib.LoadBmp(Write(EncodeBmp(layout)).c_str()));
  EXPECT_EQ(dib.GetHeight(), 2);
  EXPECT_EQ(dib.GetHeader()->biSizeImage, 8u);
  EXPECT_EQ(dib.GetPixel(0, 0), 1u);
  EXPECT_EQ(dib.GetPixel(2, 1), 6u);
}

TEST_F(BmpTest, ColoursBeyondTheTableTheFileHoldsReadZero) {
  // biClrUsed 0 on an 8-bit file that carries only two entries.
  BmpLayout layout{8, 2, 1, {1, 200}, {0x111111, 0x222222}, 0, 0};
  CDib dib;
  ASSERT_TRUE(dib.LoadBmp(Write(EncodeBmp(layout)).c_str()));
  EXPECT_EQ(dib.GetColorTableEntry(dib.GetPixel(0, 0)), 0x222222u);
  EXPECT_EQ(dib.GetColorTableEntry(dib.GetPixel(1, 0)), 0u);
}

TEST_F(BmpTest, LaterHeaderVersionsAreCutToTheClassicHeader) {
  BmpLayout layout{8, 2, 1, {1, 0}, {0x111111, 0x222222}};
  std::vector<uint8_t> bytes = EncodeBmp(layout);
  // Grow the 40-byte header to a 108-byte V4 header: 68 more bytes before the table.
  bytes.insert(bytes.begin() + 54, 68, 0xEE);
  StoreU32Le(bytes.data() + 2, static_cast<uint32_t>(bytes.size()));
  StoreU32Le(bytes.data() + 10, 54 + 68 + 8);
  StoreU32Le(bytes.data() + 14, 108);
  CDib dib;
  ASSERT_TRUE(dib.LoadBmp(Write(bytes).c_str()));
  EXPECT_EQ(dib.GetHeader()->biSize, 40u);
  EXPECT_EQ(dib.GetColorTableEntry(dib.GetPixel(0, 0)), 0x222222u);
  EXPECT_EQ(dib.GetColorTableEntry(dib.GetPixel(1, 0)), 0x111111u);
}

TEST_F(BmpTest, BitFieldsAreAcceptedAtSixteenAndThirtyTwoBitsOnly) {
  for (int bit_count : {16, 32, 24, 8}) {
    BmpLayout layout{bit_count, 2, 1, {1, 2}, {}, 3};
    if (bit_count == 8) layout.palette.assign(256, 0);
    CDib dib;
    EXPECT_EQ(dib.LoadBmp(Write(EncodeBmp(layout)).c_str()), bit_count == 16 || bit_count == 32)
        << bit_count;
  }
}

// Each case damages a good 8-bit file in one way that leaves it unsafe or not plain rows.
struct Damage {
  const char* what;
  std::function<void(std::vector<uint8_t>&)> apply;
  ImageStatus reason;
};

TEST_F(BmpTest, RefusesFilesItCannotHoldSafelyWithTheirReasonAndEndsEmpty) {
  const auto put = [](std::vector<uint8_t>& b, size_t offset, uint32_t v) {
    StoreU32Le(b.data() + offset, v);
  };
  using S = ImageStatus;
  const Damage damages[] = {
      {"magic BA", [](auto& b) { b[1] = 'A'; }, S::kBadSignature},
      {"cut inside the file header", [](auto& b) { b.resize(9); }, S::kTruncated},
      {"cut before the header size", [](auto& b) { b.resize(16); }, S::kTruncated},
      {"bfOffBits below 54", [&](auto& b) { put(b, 10, 53); }, S::kBadHeader},
      {"bfSize below bfOffBits", [&](auto& b) { put(b, 2, 1077); }, S::kBadHeader},
      {"bfOffBits beyond bfSize", [&](auto& b) { put(b, 10, 0x7FFFFFFF); }, S::kBadHeader},
      {"bfOffBits beyond the file",
       [&](auto& b) {
         put(b, 2, 0x7FFFFFFF);
         put(b, 10, 0x7FFFFFFF);
       },
       S::kTruncated},
      {"negative width", [&](auto& b) { put(b, 18, 0xFFFFFFFC); }, S::kBadHeader},
      {"height INT32_MIN", [&](auto& b) { put(b, 22, 0x80000000); }, S::kBadHeader},
      {"bit count 2", [](auto& b) { b[28] = 2; }, S::kUnsupportedDepth},
      {"bit count 0", [](auto& b) { b[28] = 0; }, S::kUnsupportedDepth},
      {"4-bit run-length compression", [&](auto& b) { put(b, 30, 2); },
       S::kUnsupportedCompression},
      {"PNG compression", [&](auto& b) { put(b, 30, 5); }, S::kUnsupportedCompression},
      {"bit fields at 8 bits", [&](auto& b) { put(b, 30, 3); }, S::kUnsupportedCompression},
      {"table larger than the block", [&](auto& b) { put(b, 46, 257); }, S::kBadHeader},
      {"table count overflowing", [&](auto& b) { put(b, 46, 0x40000001); }, S::kBadHeader},
      {"header size below 40", [&](auto& b) { put(b, 14, 12); }, S::kUnsupportedHeader},
      {"header size beyond the block", [&](auto& b) { put(b, 14, 2000); }, S::kBadHeader},
      {"pixel area shorter than the rows", [&](auto& b) { put(b, 2, 1078 + 15); }, S::kTruncated},
      {"rows beyond the file", [](auto& b) { b.pop_back(); }, S::kTruncated},
      {"huge width", [&](auto& b) { put(b, 18, 0x7FFFFFFF); }, S::kTooLarge},
      {"zero width", [&](auto& b) { put(b, 18, 0); }, S::kEmptyImage},
      {"zero height", [&](auto& b) { put(b, 22, 0); }, S::kEmptyImage},
      {"huge height", [&](auto& b) { put(b, 22, 0x7FFFFFFF); }, S::kTooLarge},
  };
  const BmpLayout layout{8, 4, 4, std::vector<uint32_t>(16, 3), std::vector<uint32_t>(256, 9)};
  for (const Damage& damage : damages) {
    std::vector<uint8_t> bytes = EncodeBmp(layout);
    damage.apply(bytes);
    CDib dib;
    ASSERT_TRUE(dib.Create(8, 2, 2));
    EXPECT_EQ(DecodeBmp(bytes.data(), bytes.size(), dib), damage.reason) << damage.what;
    EXPECT_FALSE(dib.HasImage()) << damage.what;
  }
}

// A run-length BMP: the header of an indexed `width` x `height` picture, then `encoded`.
std::vector<uint8_t> RunLengthBmp(int bit_count, int32_t width, int32_t height,
                                  const std::vector<uint8_t>& encoded) {
  // No rows at first: the pixels are `encoded`.
  BmpLayout layout{bit_count, width, 0, {}, std::vector<uint32_t>(16, 0), bit_count == 8 ? 1u : 2u};
  std::vector<uint8_t> bytes = EncodeBmp(layout);
  StoreU32Le(bytes.data() + 22, static_cast<uint32_t>(height));
  bytes.insert(bytes.end(), encoded.begin(), encoded.end());
  StoreU32Le(bytes.data() + 2, static_cast<uint32_t>(bytes.size()));
  return bytes;
}

TEST_F(BmpTest, RunLengthPixelsAreDecodedWithEveryEscapeOrRefused) {
  using S = ImageStatus;
  const struct {
    const char* what;
    int bit_count;
    int32_t width;
    int32_t height;  // negative: top row first
    std::vector<uint8_t> encoded;
    S status;
    std::vector<uint32_t> pixels;  // top row first
  } cases[] = {
      {"runs and ends of line, bottom row first", 8, 4, 2, {2, 5, 2, 6, 0, 0, 4, 7, 0, 1},
       S::kOk, {7, 7, 7, 7, 5, 5, 6, 6}},
      {"the same, top row first", 8, 4, -2, {2, 5, 2, 6, 0, 0, 4, 7, 0, 1}, S::kOk,
       {5, 5, 6, 6, 7, 7, 7, 7}},
      {"an absolute run padded to a word", 8, 4, -2, {0, 3, 1, 2, 3, 0, 1, 9, 0, 1}, S::kOk,
       {1, 2, 3, 9, 0, 0, 0, 0}},
      {"a delta skips pixels, left 0", 8, 4, -2, {1, 4, 0, 2, 2, 1, 1, 8, 0, 1}, S::kOk,
       {4, 0, 0, 0, 0, 0, 0, 8}},
      {"an early end of picture", 8, 4, -2, {2, 3, 0, 1}, S::kOk, {3, 3, 0, 0, 0, 0, 0, 0}},
      {"no end of picture after the last row", 8, 2, 1, {2, 3, 0, 0}, S::kOk, {3, 3}},
      {"4 bits: a run of two nibbles and an absolute run", 4, 5, -1,
       {2, 0x12, 0, 3, 0x34, 0x50, 0, 1}, S::kOk, {1, 2, 3, 4, 5}},
      {"a run past the row", 8, 4, 2, {5, 1, 0, 1}, S::kBadHeader, {}},
      {"an absolute run past the row", 8, 4, 2, {0, 5, 1, 2, 3, 4, 5, 0}, S::kBadHeader, {}},
      {"a delta past the picture", 8, 4, 2, {0, 2, 0, 3, 0, 1}, S::kBadHeader, {}},
      {"a run past the last row", 8, 4, 1, {0, 0, 1, 1, 0, 1}, S::kBadHeader, {}},
      {"bytes ending inside the picture", 8, 4, 2, {2, 5}, S::kTruncated, {}},
      {"an absolute run cut short", 8, 4, 2, {0, 4, 1, 2}, S::kTruncated, {}},
      {"a delta cut short", 8, 4, 2, {0, 2, 1}, S::kTruncated, {}},
      {"a huge picture from a few bytes", 8, 60000, 60000, {0, 1}, S::kTooLarge, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<uint8_t> bytes = RunLengthBmp(c.bit_count, c.width, c.height, c.encoded);
    CDib dib;
    ASSERT_EQ(DecodeBmp(bytes.data(), bytes.size(), dib), c.status);
    if (c.status != S::kOk) continue;
    EXPECT_EQ(dib.GetHeader()->biCompression, 0u);  // plain rows now
    std::vector<uint32_t> pixels;
    for (int32_t y = 0; y < dib.GetHeight(); ++y) {
      for (int32_t x = 0; x < dib.GetWidth(); ++x) pixels.push_back(dib.GetPixel(x, y));
    }
    EXPECT_EQ(pixels, c.pixels);
  }
}

// Headers other than the 40-byte one and its later versions, as whole files.
TEST_F(BmpTest, OtherHeaderFormsAreRefusedAsUnsupported) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {"OS/2 1.x: 12-byte header, 16-bit sizes, 3-byte entries, 1 x 1 at 1 bit",
       {'B', 'M', 36, 0, 0, 0, 0, 0, 0, 0, 32, 0, 0, 0,  // file header
        12, 0, 0, 0, 1, 0, 1, 0, 1, 0, 1, 0,             // width 1, height 1, 1 plane, 1 bit
        0, 0, 0, 255, 255, 255,                          // black, white
        0x80, 0, 0, 0}},
      {"OS/2 2.x cut to 16 bytes",
       {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 16, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
        1, 0, 24, 0}},
  };
  for (const Case& c : cases) {
    CDib dib;
    EXPECT_EQ(DecodeBmp(c.bytes.data(), c.bytes.size(), dib), ImageStatus::kUnsupportedHeader)
        << c.what;
    EXPECT_FALSE(dib.HasImage()) << c.what;
  }
}

TEST_F(BmpTest, SaveRefusesImagesOtherReadersCouldNotTake) {
  CDib empty, fifteen, bit_fields_without_masks;
  ASSERT_TRUE(fifteen.Create(15, 2, 2));
  const std::vector<uint8_t> no_masks = EncodeBmp({16, 2, 1, {1, 2}, {}, 3});
  ASSERT_EQ(DecodeBmp(no_masks.data(), no_masks.size(), bit_fields_without_masks),
            ImageStatus::kOk);
  const std::pair<const char*, const CDib*> cases[] = {
      {"an empty object", &empty},
      {"a bit count without pixel access", &fifteen},
      {"bit fields whose masks the block lacks", &bit_fields_without_masks},
  };
  for (const auto& [what, dib] : cases) {
    EXPECT_FALSE(dib->SaveBmp((scratch_.path() + "/none.bmp").c_str())) << what;
    EXPECT_FALSE(scratch_.Exists("none.bmp")) << what;
  }
}

TEST_F(BmpTest, BitFieldImagesSaveTheirMasksBeforeTheTableAndPixels) {
  // 565 masks stored after the 40-byte header, then a two-entry table.
  const std::vector<uint32_t> masks_and_table = {0xF800, 0x07E0, 0x001F, 0x111111, 0x222222};
  const std::vector<uint8_t> file = EncodeBmp({16, 2, 1, {0xF800, 0x001F}, masks_and_table, 3, 2});
  CDib dib;
  ASSERT_EQ(DecodeBmp(file.data(), file.size(), dib), ImageStatus::kOk);
  ASSERT_TRUE(dib.SaveBmp((scratch_.path() + "/masks.bmp").c_str()));
  const std::string saved = scratch_.ReadFile("masks.bmp");
  EXPECT_EQ(FieldAt(saved, 10), 54u + 12u + 8u);
  std::vector<uint8_t> expected = file;
  StoreU32Le(expected.data() + 34, 4);  // biSizeImage as the loader works it out
  EXPECT_EQ(saved, std::string(expected.begin(), expected.end()));
}

TEST_F(BmpTest, EveryTruncationIsRefused) {
  const std::vector<uint8_t> whole =
      EncodeBmp({4, 5, 3, std::vector<uint32_t>(15, 6), std::vector<uint32_t>(16, 1)});
  for (size_t length = 0; length < whole.size(); ++length) {
    CDib dib;
    EXPECT_FALSE(
        dib.LoadBmp(Write(std::vector<uint8_t>(whole.data(), whole.data() + length)).c_str()))
        << length;
    EXPECT_EQ(DecodeBmp(whole.data(), length, dib), ImageStatus::kTruncated) << length;
  }
  CDib dib;
  EXPECT_TRUE(dib.LoadBmp(Write(whole).c_str()));
  EXPECT_FALSE(dib.LoadBmp((scratch_.path() + "/missing.bmp").c_str()));
  EXPECT_FALSE(dib.HasImage());
}

}  // namespace
}  // namespace quillon
