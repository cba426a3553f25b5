// The pictures of an indexed bitmap member become the indices of the member's palette.
#include "builders/color_import.h"

#include <string>
#include <vector>

#include "builders/bitmap_builder.h"
#include "builders/row_codec.h"
#include "container/builtin_palettes.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "fixtures/image_writers.h"
#include "fixtures/movie_builder.h"
#include "image/dib.h"
#include "tests/builders/cast_builders_fixture.h"

namespace quillon::test {
namespace {

constexpr uint32_t kChild = 5;

Bytes Member(uint16_t width, int16_t palette_id, int16_t library = -1) {
  BitmapMemberFields fields;
  fields.right = width;
  fields.bottom = 1;
  fields.depth = 8;
  fields.palette_library = library;
  fields.palette_id = palette_id;
  return MovieBuilder::BitmapMember(fields);
}

class ColorImportTest : public CastBuildersTest {
 protected:
  void WriteBmp(int bit_count, const std::vector<uint32_t>& pixels,
                const char* name = "movie-000001-8.bmp") {
    BmpLayout bmp;
    bmp.bit_count = bit_count;
    bmp.width = static_cast<int32_t>(pixels.size());
    bmp.height = 1;
    bmp.pixels = pixels;
    files_.WriteFile(name, EncodeBmp(bmp));
  }
  // The one row built for `member`, unpacked, without its padding.
  Bytes BuiltRow(const Bytes& member, bool alpha = false) {
    const CastMedia media{1, 3, kChild, {member.data(), member.size()}};
    if (alpha) {
      Import(kTypeAlpha, media);
    } else {
      Import(kTypeBitmap, media);
    }
    const Bytes packed = HeldData(kChild);
    Bytes row(64);
    size_t count = row.size();
    EXPECT_EQ(UnpackRow(packed.data(), packed.size(), row.data(), count), UnpackStatus::kOk);
    row.resize(count);
    return row;
  }
};

TEST_F(ColorImportTest, TwentyFourAndThirtyTwoBitPicturesTakeTheNearestBuiltInEntries) {
  const uint32_t* vivid = FindBuiltinPalette(-4)->colors;
  // Exact colours, a colour one step off, and alpha that must not count.
  const std::vector<uint32_t> colors = {vivid[17], vivid[200], vivid[64] ^ 0x000001,
                                        vivid[3] | 0xFF000000u};
  const Bytes expected = {17, 200, 64, 3};
  ASSERT_EQ(FindNearestColor(vivid[17], std::vector<uint32_t>(vivid, vivid + 256)), 17);
  for (const int bit_count : {24, 32}) {
    WriteBmp(bit_count, colors);
    EXPECT_EQ(BuiltRow(Member(4, -4)), expected) << bit_count;
  }
}

TEST_F(ColorImportTest, IndexedPicturesKeepTheirIndicesOnlyWhereTheirColoursAgree) {
  const uint32_t* vivid = FindBuiltinPalette(-4)->colors;
  const struct {
    const char* name;
    int bit_count;
    std::vector<uint32_t> indices;
    std::vector<uint32_t> table;
    Bytes row;
    bool mapped;
  } cases[] = {
      {"the member's own table", 8, {17, 200, 64, 3}, {vivid, vivid + 256}, {17, 200, 64, 3},
       false},
      {"a table reordered by an editor", 8, {0, 1, 1}, {vivid[64], vivid[3]}, {64, 3, 3}, true},
      {"indices past the end of the table", 8, {0, 5}, {vivid[0]}, {0, 5}, false},
      {"a 4-bit picture", 4, {1, 2}, {vivid[0], vivid[9], vivid[4]}, {9, 4}, true},
      {"a 1-bit picture", 1, {0, 1, 0}, {0xFFFFFF, 0x000000}, {0, 255, 0}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BmpLayout bmp;
    bmp.bit_count = c.bit_count;
    bmp.width = static_cast<int32_t>(c.indices.size());
    bmp.height = 1;
    bmp.pixels = c.indices;
    bmp.palette = c.table;
    const std::string path = files_.WriteFile("movie-000001-8.bmp", EncodeBmp(bmp));
    const std::string before = LogText();
    Bytes row = BuiltRow(Member(static_cast<uint16_t>(c.indices.size()), -4));
    row.resize(c.row.size());
    EXPECT_EQ(row, c.row);
    EXPECT_EQ(LogText().substr(before.size()).find("Colours of " + path + " mapped to the "
                                                   "member's palette\n") != std::string::npos,
              c.mapped);
  }
}

// 16-bit pictures hold colours, not indices: each channel widened to 8 bits, then the nearest.
TEST_F(ColorImportTest, SixteenBitPicturesAreMappedByTheirColours) {
  const std::vector<uint32_t> vivid(FindBuiltinPalette(-4)->colors,
                                    FindBuiltinPalette(-4)->colors + 256);
  const auto nearest = [&](uint32_t color) {
    return static_cast<uint8_t>(FindNearestColor(color, vivid));
  };
  const struct {
    const char* name;
    uint32_t compression;
    std::vector<uint32_t> masks;
    std::vector<uint32_t> pixels;
    Bytes row;
  } cases[] = {
      {"5-5-5", 0, {}, {0x7C00, 0x03E0, 0x001F, 0x7FFF, 0x4210},
       {nearest(0xFF0000), nearest(0x00FF00), nearest(0x0000FF), nearest(0xFFFFFF),
        nearest(0x848484)}},
      {"bit fields 5-6-5", 3, {0xF800, 0x07E0, 0x001F}, {0xF800, 0x07E0, 0x001F, 0x0400},
       {nearest(0xFF0000), nearest(0x00FF00), nearest(0x0000FF), nearest(0x008200)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BmpLayout bmp;
    bmp.bit_count = 16;
    bmp.compression = c.compression;
    bmp.width = static_cast<int32_t>(c.pixels.size());
    bmp.height = 1;
    bmp.pixels = c.pixels;
    bmp.palette = c.masks;  // the masks stand where a colour table would
    bmp.colors_used = 0;
    const std::string path = files_.WriteFile("movie-000001-8.bmp", EncodeBmp(bmp));
    const std::string before = LogText();
    Bytes row = BuiltRow(Member(static_cast<uint16_t>(c.pixels.size()), -4));
    row.resize(c.row.size());
    EXPECT_EQ(row, c.row);
    EXPECT_NE(LogText().find("Colours of " + path + " mapped to the member's palette\n",
                             before.size()),
              std::string::npos);
  }
  EXPECT_NE(nearest(0xFF0000), 0);  // the low bits of red's pixel word would give index 0
}

TEST_F(ColorImportTest, AlphaChannelsTakeTheIndicesAsAlphaWhateverTheTable) {
  BmpLayout bmp;
  bmp.width = 4;
  bmp.height = 1;
  bmp.pixels = {7, 0, 255, 3};
  bmp.palette.assign(256, 0x00FF00);
  // The 8-bit member's alpha channel has a file of its own.
  files_.WriteFile("movie-000001-alpha.bmp", EncodeBmp(bmp));
  EXPECT_EQ(BuiltRow(Member(4, -4), true), (Bytes{7, 0, 255, 3}));
  WriteBmp(24, {0x123456, 0xABCDEF}, "movie-000001-alpha.bmp");
  EXPECT_EQ(BuiltRow(Member(2, -4), true), (Bytes{0x56, 0xEF}));
}

TEST_F(ColorImportTest, APaletteMemberOfTheMovieIsUsedAndAMissingOneFallsBack) {
  MovieBuilder movie(12);
  const uint32_t bitmap = movie.AddChunk("tSAC", Member(2, 2));
  const uint32_t palette = movie.AddChunk("tSAC", {});
  // Two entries: black and pure red, each channel's byte repeated.
  const uint32_t clut = movie.AddChunk("TULC", {0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0, 0});
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{bitmap}, {palette}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{clut, palette, "TULC"}}));
  Bytes file = movie.Build();
  const MovieView view(file.data(), file.size());
  const CastTables tables(view);
  context_.tables = &tables;
  WriteBmp(24, {0xF00000, 0x100000});
  EXPECT_EQ(BuiltRow(Member(2, 2)), (Bytes{1, 0}));
  // System - Win stands in: its entry 0 is white, its last black.
  WriteBmp(24, {0xFFFFFF, 0x000000});
  EXPECT_EQ(BuiltRow(Member(2, 9)), (Bytes{0, 255}));
}

TEST(ToNearestIndicesTest, RefusesAnEmptyPalette) {
  CDib image;
  ASSERT_TRUE(image.Create(24, 2, 2));
  CDib indexed;
  EXPECT_FALSE(ToNearestIndices(image, {}, indexed));
  EXPECT_TRUE(ToNearestIndices(image, {0x000000}, indexed));
  EXPECT_EQ(indexed.GetBitCount(), 8);
}

}  // namespace
}  // namespace quillon::test
