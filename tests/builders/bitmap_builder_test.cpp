#include "builders/bitmap_builder.h"

#include <array>
#include <random>
#include <string>
#include <vector>

#include "builders/plane_layout.h"
#include "builders/row_codec.h"
#include "container/builtin_palettes.h"
#include "fixtures/image_writers.h"
#include "fixtures/movie_builder.h"
#include "image/dib.h"
#include "image/image_file.h"
#include "image/image_status.h"
#include "tests/builders/cast_builders_fixture.h"
#include "util/paths.h"

namespace quillon::test {
namespace {

constexpr uint32_t kMember = 3;
constexpr uint32_t kChild = 5;

Bytes MemberData(uint16_t width, uint16_t height, uint8_t depth, uint32_t specific = 28) {
  BitmapMemberFields fields;
  fields.right = width;
  fields.bottom = height;
  fields.depth = depth;
  fields.specific_length = specific;
  return MovieBuilder::BitmapMember(fields);
}

std::vector<uint32_t> GreyPalette() {
  std::vector<uint32_t> palette(256);
  for (uint32_t i = 0; i < 256; ++i) palette[i] = i * 0x010101;
  return palette;
}

class BitmapBuilderTest : public CastBuildersTest {
 protected:
  void WriteBmp8(uint32_t cast_number, int32_t width, int32_t height,
                 const std::vector<uint32_t>& indices) {
    BmpLayout bmp;
    bmp.width = width;
    bmp.height = height;
    bmp.pixels = indices;
    // The members' palette, System - Mac: the indices stand as they are.
    const BuiltinPalette* system_mac = FindBuiltinPalette(0);
    bmp.palette.assign(system_mac->colors, system_mac->colors + system_mac->size);
    files_.WriteFile(Name(cast_number, "-8.bmp"), EncodeBmp(bmp));
  }
  void WriteTga(uint32_t cast_number, const char* suffix, int depth, uint16_t width,
                uint16_t height, const std::vector<uint32_t>& pixels) {
    files_.WriteFile(Name(cast_number, suffix),
                     EncodeTrueColorTga(depth, width, height, pixels, 0x20));
  }
  void Bitmap(const Bytes& member, uint32_t cast_number = 1) {
    Import(kTypeBitmap, {cast_number, kMember, kChild, {member.data(), member.size()}});
  }
  void Alpha(const Bytes& member, uint32_t cast_number = 1, uint32_t child = kChild) {
    Import(kTypeAlpha, {cast_number, kMember, child, {member.data(), member.size()}});
  }
  // The held chunk unpacked and cut into rows of `row_bytes`.
  std::vector<Bytes> Rows(size_t row_bytes, size_t height, uint32_t child = kChild) {
    const Bytes packed = HeldData(child);
    Bytes plane(row_bytes * height);
    size_t count = plane.size();
    EXPECT_EQ(UnpackRow(packed.data(), packed.size(), plane.data(), count), UnpackStatus::kOk);
    EXPECT_EQ(count, plane.size());
    std::vector<Bytes> rows;
    for (size_t y = 0; y < height; ++y) {
      rows.emplace_back(plane.begin() + static_cast<long>(y * row_bytes),
                        plane.begin() + static_cast<long>((y + 1) * row_bytes));
    }
    return rows;
  }

  static std::string Name(uint32_t cast_number, const char* suffix) {
    char number[16];
    std::snprintf(number, sizeof number, "%06u", cast_number);
    return std::string("movie-") + number + suffix;
  }
};

TEST_F(BitmapBuilderTest, BuildsTheWorkedExample) {
  WriteBmp8(3, 3, 2, {5, 5, 5, 1, 2, 3});
  Bitmap(MemberData(3, 2, 8), 3);
  EXPECT_EQ(HeldHeader(kChild), "DTIB 9");
  EXPECT_EQ(HeldData(kChild), (Bytes{0xFE, 0x05, 0x00, 0x00, 0x03, 0x01, 0x02, 0x03, 0x00}));
  EXPECT_EQ(LogText(), "Cast 000003->(0003:0005): BITD=3x2x8\n");
}

TEST_F(BitmapBuilderTest, LaysOutOddWidthsInPlanesAtEveryDepth) {
  const std::vector<uint32_t> pixels = {0x80FF8040, 0x01020304, 0xFFFFFFFF, 0x00000000, 0x7F10F0A8};
  WriteBmp8(1, 5, 1, {9, 8, 7, 6, 5});
  WriteTga(2, "-16.tga", 32, 5, 1, pixels);
  WriteTga(3, "-32.tga", 32, 5, 1, pixels);
  Bitmap(MemberData(5, 1, 8), 1);
  EXPECT_EQ(Rows(6, 1)[0], (Bytes{9, 8, 7, 6, 5, 0}));
  Bitmap(MemberData(5, 1, 16), 2);
  Bytes expected16(10);
  for (size_t x = 0; x < 5; ++x) {
    const uint16_t q = ToRgb1555(pixels[x]);
    expected16[x] = static_cast<uint8_t>(q >> 8);
    expected16[5 + x] = static_cast<uint8_t>(q);
  }
  EXPECT_EQ(Rows(10, 1)[0], expected16);
  EXPECT_EQ(expected16[0], 0xFE);
  EXPECT_EQ(expected16[5], 0x08);
  Bitmap(MemberData(5, 1, 32), 3);
  EXPECT_EQ(Rows(20, 1)[0], (Bytes{0x80, 0x01, 0xFF, 0x00, 0x7F, 0xFF, 0x02, 0xFF, 0x00, 0x10,
                                   0x80, 0x03, 0xFF, 0x00, 0xF0, 0x40, 0x04, 0xFF, 0x00, 0xA8}));
}

TEST(ToRgb1555Test, KeepsTheTopBitsOfEachComponent) {
  EXPECT_EQ(ToRgb1555(0x80FF8040), 0xFE08);
  EXPECT_EQ(ToRgb1555(0x7FFFFFFF), 0x7FFF);
  EXPECT_EQ(ToRgb1555(0x80070707), 0x8000);
  EXPECT_EQ(ToRgb1555(0x00080808), 0x0421);
}

TEST_F(BitmapBuilderTest, BuildsFrom24BitImagesWithoutAlpha) {
  const std::vector<uint32_t> pixels = {0xFFFFFF, 0x808080};
  WriteTga(1, "-16.tga", 24, 2, 1, pixels);
  WriteTga(2, "-32.tga", 24, 2, 1, pixels);
  Bitmap(MemberData(2, 1, 16), 1);
  EXPECT_EQ(Rows(4, 1)[0], (Bytes{0x7F, 0x42, 0xFF, 0x10}));
  Bitmap(MemberData(2, 1, 32), 2);
  EXPECT_EQ(Rows(8, 1)[0], (Bytes{0, 0, 0xFF, 0x80, 0xFF, 0x80, 0xFF, 0x80}));
}

TEST_F(BitmapBuilderTest, RefusesMembersItCannotBuildWithTheirLogLine) {
  struct Case {
    Bytes member;
    bool alpha;
    const char* log;
  };
  WriteBmp8(1, 2, 2, {1, 2, 3, 4});
  WriteTga(1, "-16.tga", 24, 2, 2, {1, 2, 3, 4});
  WriteTga(1, "-32.tga", 24, 2, 2, {1, 2, 3, 4});
  const Case cases[] = {
      {MemberData(2, 2, 8, 30), false, "Cast 000001->(0003:0005): BITD=30 bittype!!!\n"},
      {MemberData(2, 2, 8, 30), true, "Cast 000001->(0003:0005): ALFA=30 bittype!!!\n"},
      {MemberData(2, 2, 8, 0xFFFFFFF0), false, "Cast 000001->(0003:0005): BITD=-16 bittype!!!\n"},
      {MemberData(2, 2, 3), false, "Cast 000001->(0003:0005): BITD=3 bitsperpixel!!!\n"},
      {MemberData(2, 2, 0), false, "Cast 000001->(0003:0005): BITD=0 bitsperpixel!!!\n"},
      {MemberData(2, 2, 24), false, "Cast 000001->(0003:0005): BITD=24 bitsperpixel!!!\n"},
      {MemberData(2, 2, 40), false, "Cast 000001->(0003:0005): BITD=40 bitsperpixel!!!\n"},
      // The plane would take 4 GiB: refused after its size line, the image never read.
      {MemberData(65535, 65535, 8), false, "Cast 000001->(0003:0005): BITD=65535x65535x8\n"},
      {MemberData(65535, 65535, 32), true, "Cast 000001->(0003:0005): ALFA=65535x65535x8\n"},
  };
  std::string log;
  for (const Case& c : cases) {
    if (c.alpha) {
      Alpha(c.member);
    } else {
      Bitmap(c.member);
    }
    log += c.log;
    EXPECT_EQ(LogText(), log);
    EXPECT_EQ(HeldHeader(kChild), "none") << c.log;
  }
}

TEST_F(BitmapBuilderTest, ZeroesWhatASmallImageMissesAndCutsALargeOneAndSaysSo) {
  WriteBmp8(1, 2, 2, {1, 2, 3, 4});
  Bitmap(MemberData(3, 3, 8), 1);
  EXPECT_EQ(Rows(4, 3), (std::vector<Bytes>{{1, 2, 0, 0}, {3, 4, 0, 0}, {0, 0, 0, 0}}));
  WriteBmp8(2, 4, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
  Bitmap(MemberData(2, 2, 8), 2);
  EXPECT_EQ(Rows(2, 2), (std::vector<Bytes>{{1, 2}, {5, 6}}));
  const std::string folder = files_.path() + kPathSeparator;
  const std::string first = "Image " + folder +
                            "movie-000001-8.bmp is 2x2, not 3x3: cut or padded with zeros\n";
  const std::string second = "Image " + folder +
                             "movie-000002-8.bmp is 4x3, not 2x2: cut or padded with zeros\n";
  EXPECT_EQ(LogText(), "Cast 000001->(0003:0005): BITD=3x3x8\n" + first +
                           "Cast 000002->(0003:0005): BITD=2x2x8\n" + second +
                           "Frames collision 2! Frame 0005 was alread patched!!! Deleting "
                           "previous patch...\n");
  // Told on the console too, where the user sees it at once.
  EXPECT_EQ(sink_.console, "> " + folder + "movie-000001-8.bmp\n" + first + "> " + folder +
                               "movie-000002-8.bmp\n" + second);
}

// Members of 1, 2 and 4 bits, in either layout, from pictures in their own colours: the
// indices packed most significant bits first, each row a whole number of 16-bit words.
TEST_F(BitmapBuilderTest, PacksTheIndicesOfLowDepthsAndDirector4Members) {
  const auto member = [](bool director4, uint8_t depth, uint32_t specific, uint16_t width) {
    BitmapMemberFields fields;
    fields.director4 = director4;
    fields.right = width;
    fields.bottom = 1;
    fields.depth = depth;
    fields.specific_length = specific;
    return MovieBuilder::BitmapMember(fields);
  };
  const BuiltinPalette* mac16 = FindBuiltinPalette(0, 4);
  const struct {
    const char* name;
    Bytes member;
    const char* suffix;
    std::vector<uint32_t> table;
    std::vector<uint32_t> indices;
    Bytes row;
  } cases[] = {
      {"1 bit", member(false, 1, 22, 18), "-1.bmp", {0xFFFFFF, 0},
       {1, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 1}, {0xB0, 0xFF, 0x40, 0x00}},
      {"2 bits", member(false, 2, 28, 5), "-2.bmp", {0xFFFFFF, 0xACACAC, 0x555555, 0},
       {0, 1, 2, 3, 2}, {0x1B, 0x80}},
      {"4 bits", member(false, 4, 28, 3), "-4.bmp", {mac16->colors, mac16->colors + 16},
       {15, 1, 7}, {0xF1, 0x70}},
      {"Director 4, 1 bit", member(true, 1, 24, 3), "-1.bmp", {0xFFFFFF, 0}, {0, 1, 1},
       {0x60, 0x00}},
      {"Director 4, 8 bits", member(true, 8, 28, 3), "-8.bmp", {}, {9, 8, 7}, {9, 8, 7, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BmpLayout bmp;
    bmp.width = static_cast<int32_t>(c.indices.size());
    bmp.height = 1;
    bmp.pixels = c.indices;
    bmp.palette = c.table;
    if (c.table.empty()) bmp.palette = {0xFFFFFF};  // every index past it agrees
    files_.WriteFile(Name(1, c.suffix), EncodeBmp(bmp));
    Bitmap(c.member, 1);
    EXPECT_EQ(Rows(c.row.size(), 1)[0], c.row);
  }
  EXPECT_EQ(LogText().find("mapped"), std::string::npos) << LogText();
}

TEST_F(BitmapBuilderTest, BuildsAnEmptyChunkForAnEmptyMemberOnceItsImageLoads) {
  Bitmap(MemberData(0, 4, 8), 1);
  EXPECT_EQ(HeldHeader(kChild), "none");  // no image yet
  WriteBmp8(1, 1, 1, {7});
  Bitmap(MemberData(0, 4, 8), 1);
  EXPECT_EQ(HeldHeader(kChild), "DTIB 0");
  Alpha(MemberData(4, 0, 32), 1, 6);
  EXPECT_EQ(HeldHeader(6), "AFLA 0");
}

TEST_F(BitmapBuilderTest, BuildsTheWidestMember) {
  WriteBmp8(1, 65535, 1, std::vector<uint32_t>(65535, 3));
  Bitmap(MemberData(65535, 1, 8), 1);
  // 65536 bytes a row: 508 runs of 129 and a run of 3 threes, then the padding zero.
  EXPECT_EQ(HeldData(kChild).size(), 508u * 2 + 2 + 2);
  const Bytes row = Rows(65536, 1)[0];
  EXPECT_EQ(row[65534], 3);
  EXPECT_EQ(row[65535], 0);
}

TEST_F(BitmapBuilderTest, AlphaReadsTheEightBitFileWhateverTheDepth) {
  WriteBmp8(1, 3, 1, {200, 100, 50});
  Bitmap(MemberData(3, 1, 8), 1);
  Alpha(MemberData(3, 1, 32), 1, 6);
  EXPECT_EQ(HeldHeader(6), "AFLA 5");
  EXPECT_EQ(Rows(4, 1, 6)[0], (Bytes{200, 100, 50, 0}));
  EXPECT_EQ(HeldData(6), HeldData(kChild));
  EXPECT_EQ(LogText(),
            "Cast 000001->(0003:0005): BITD=3x1x8\nCast 000001->(0003:0006): ALFA=3x1x8\n");
}

TEST_F(BitmapBuilderTest, DisplacesAHeldChunkOnlyWhenItBuildsOne) {
  const Chunk raw = {'D', 'T', 'I', 'B', 1, 0, 0, 0, 0x42};
  table_.PutReplacement(kChild, raw);
  Bitmap(MemberData(1, 1, 8), 1);  // no image: the raw chunk stays
  EXPECT_EQ(HeldHeader(kChild), "DTIB 1");
  WriteBmp8(1, 1, 1, {7});
  Bitmap(MemberData(1, 1, 8), 1);
  EXPECT_EQ(HeldData(kChild), (Bytes{0x01, 7, 0x00}));
  EXPECT_EQ(LogText(),
            "Cast 000001->(0003:0005): BITD=1x1x8\n"
            "Cast 000001->(0003:0005): BITD=1x1x8\n"
            "Frames collision 2! Frame 0005 was alread patched!!! Deleting previous patch...\n");
}

TEST_F(BitmapBuilderTest, LogsTheReasonForAnImageThatExistsButIsRefused) {
  BmpLayout rle;
  rle.width = 2;
  rle.height = 2;
  rle.pixels = {1, 2, 3, 4};
  rle.palette = GreyPalette();
  rle.compression = 1;
  TgaLayout grey;
  grey.image_type = 3;
  grey.depth = 8;
  grey.width = 2;
  grey.height = 2;
  grey.pixels = {1, 2, 3, 4};
  Bytes truncated = EncodeTrueColorTga(32, 2, 2, {1, 2, 3, 4}, 0x20);
  truncated.pop_back();
  struct Case {
    const char* file;
    Bytes content;
    uint8_t depth;
  };
  const Case cases[] = {
      {"movie-000001-8.bmp", EncodeBmp(rle), 8},
      {"movie-000001-16.tga", EncodeTga(grey), 16},
      {"movie-000001-32.tga", truncated, 32},
      {"movie-000001-8.bmp", Bytes{'B', 'M', 1}, 8},
  };
  for (const Case& c : cases) {
    files_.WriteFile(c.file, c.content);
    const std::string path = files_.path() + kPathSeparator + c.file;
    CDib probe;
    const ImageStatus status = c.depth == 8 ? LoadBmpFile(path, probe) : LoadTgaFile(path, probe);
    ASSERT_NE(status, ImageStatus::kOk) << c.file;
    ASSERT_NE(status, ImageStatus::kMissing) << c.file;
    const std::string before = LogText();
    Bitmap(MemberData(2, 2, c.depth), 1);
    EXPECT_EQ(LogText().substr(before.size()),
              "Cast 000001->(0003:0005): BITD=2x2x" + std::to_string(c.depth) + "\n" +
                  "Cannot use file " + path + ": " + DescribeImageStatus(status) + "!!!\n")
        << c.file;
    EXPECT_EQ(HeldHeader(kChild), "none") << c.file;
  }
}

TEST_F(BitmapBuilderTest, UniformTwoByteRowsAreNotLeftAtThePlainLength) {
  // Each row packs to "FF v": the chunk would be exactly as long as its plain rows.
  WriteBmp8(1, 2, 3, {7, 7, 8, 8, 9, 9});
  Bitmap(MemberData(2, 3, 8), 1);
  EXPECT_EQ(HeldData(kChild), (Bytes{0xFF, 7, 0xFF, 8, 0x01, 9, 9}));
  EXPECT_EQ(HeldHeader(kChild), "DTIB 7");
  // The alpha channel reads the same file and follows the same rule.
  Alpha(MemberData(2, 3, 32), 1, 6);
  EXPECT_EQ(HeldData(6), (Bytes{0xFF, 7, 0xFF, 8, 0x01, 9, 9}));
}

TEST_F(BitmapBuilderTest, RandomMembersUnpackToTheirImageAndAreNeverAtThePlainLength) {
  std::mt19937 random(9122026);
  int at_plain_length = 0;
  for (uint32_t round = 1; round <= 200; ++round) {
    const auto width = static_cast<uint16_t>(random() % 6 + 1);
    const auto height = static_cast<uint16_t>(random() % 4 + 1);
    const uint8_t depth = std::array<uint8_t, 3>{8, 16, 32}[random() % 3];
    std::vector<uint32_t> pixels(size_t{width} * height);
    for (uint32_t& pixel : pixels) pixel = random() % 2 == 0 ? 0 : 0xFFFFFFFF;
    if (depth == 8) {
      WriteBmp8(round, width, height, pixels);
    } else {
      WriteTga(round, depth == 16 ? "-16.tga" : "-32.tga", 32, width, height, pixels);
    }
    Bitmap(MemberData(width, height, depth), round);
    const size_t bytes = depth / 8;
    const size_t row_bytes = (bytes * width + 1) / 2 * 2;
    std::vector<Bytes> expected;
    size_t packed_plainly = 0;
    for (size_t y = 0; y < height; ++y) {
      Bytes row(row_bytes);
      for (size_t x = 0; x < width; ++x) {
        for (size_t plane = 0; plane < bytes; ++plane) {
          // At 16 bits all-ones is 0xFFFF; at 32 each plane is 0xFF.
          row[plane * width + x] = pixels[y * width + x] == 0 ? 0 : 0xFF;
        }
      }
      Bytes packed(PackedRowBound(row.size()));
      packed_plainly += PackRow(row.data(), packed.data(), row.size());
      expected.push_back(row);
    }
    if (packed_plainly == row_bytes * height) ++at_plain_length;
    EXPECT_NE(HeldData(kChild).size(), row_bytes * height) << round;
    EXPECT_EQ(Rows(row_bytes, height), expected) << round;
  }
  EXPECT_GT(at_plain_length, 0);
}

}  // namespace
}  // namespace quillon::test
