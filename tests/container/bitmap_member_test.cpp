#include "container/bitmap_member.h"

#include <gtest/gtest.h>

#include "container/movie.h"
#include "fixtures/movie_builder.h"

namespace quillon {
namespace {

using test::BitmapMemberFields;
using test::Bytes;
using test::MovieBuilder;

TEST(ReadCastBitmapInfoTest, TakesTheRectangleExtentAtAnyInfoLength) {
  BitmapMemberFields fields;
  fields.top = 9;
  fields.left = 16;
  fields.bottom = 268;
  fields.right = 306;
  fields.depth = 32;
  fields.info_length = 7;  // odd: the fields sit at odd offsets
  const Bytes data = MovieBuilder::BitmapMember(fields);
  CastBitmapInfo info;
  ASSERT_TRUE(ReadCastBitmapInfo(ByteReader(data.data(), 12 + 7 + 24), info));
  EXPECT_EQ(info.specific_length, 28u);
  EXPECT_EQ(info.width, 290);
  EXPECT_EQ(info.height, 259);
  EXPECT_EQ(info.depth, 32);
  EXPECT_FALSE(ReadCastBitmapInfo(ByteReader(data.data(), 12 + 7 + 23), info));
}

TEST(ReadCastBitmapInfoTest, WrapsARectangleThatRunsBackwards) {
  BitmapMemberFields fields;
  fields.top = 10;
  fields.bottom = 4;
  fields.left = 1;
  fields.right = 0;
  const Bytes data = MovieBuilder::BitmapMember(fields);
  CastBitmapInfo info;
  ASSERT_TRUE(ReadCastBitmapInfo(ByteReader(data.data(), data.size()), info));
  EXPECT_EQ(info.width, 65535);
  EXPECT_EQ(info.height, 65530);
}

// Both layouts, each with and without its depth and palette fields, and what each refuses.
TEST(ReadCastBitmapInfoTest, ReadsEveryLayoutTheBuildersTake) {
  const auto fields = [](bool director4, uint8_t depth, uint32_t specific) {
    BitmapMemberFields f;
    f.director4 = director4;
    f.top = 40;
    f.left = 20;
    f.bottom = 98;
    f.right = 70;
    f.depth = depth;
    f.palette_id = -100;
    f.specific_length = specific;
    f.info_length = 5;
    return MovieBuilder::BitmapMember(f);
  };
  const struct {
    const char* name;
    Bytes member;
    MemberLayout layout;
    bool known;
    uint8_t depth;
    bool has_palette;
  } cases[] = {
      {"Director 5, 8 bits", fields(false, 8, 28), MemberLayout::kDirector5, true, 8, true},
      {"Director 5, 1 bit", fields(false, 1, 22), MemberLayout::kDirector5, true, 1, false},
      {"Director 5, another length", fields(false, 8, 30), MemberLayout::kDirector5, false, 8,
       true},
      {"Director 4, 8 bits", fields(true, 8, 28), MemberLayout::kDirector4, true, 8, true},
      {"Director 4, 32 bits", fields(true, 32, 28), MemberLayout::kDirector4, true, 32, true},
      {"Director 4, 1 bit", fields(true, 1, 28), MemberLayout::kDirector4, true, 1, false},
      {"Director 4, no room for the palette", fields(true, 8, 26), MemberLayout::kDirector4, true,
       8, false},
      {"Director 4, no room for the depth", fields(true, 8, 25), MemberLayout::kDirector4, false,
       8, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CastBitmapInfo info;
    ASSERT_TRUE(ReadCastBitmapInfo(ByteReader(c.member.data(), c.member.size()), info));
    EXPECT_EQ(info.layout, c.layout);
    EXPECT_EQ(info.known_layout, c.known);
    EXPECT_EQ(info.width, 50);
    EXPECT_EQ(info.height, 58);
    EXPECT_EQ(c.known ? info.depth : 0, c.known ? c.depth : 0);
    EXPECT_EQ(info.has_palette, c.has_palette);
    if (c.has_palette) {
      EXPECT_EQ(info.palette.id, -100);
      EXPECT_EQ(info.palette.cast_library, c.layout == MemberLayout::kDirector4 ? -1 : 0);
    }
  }
}

// The cast pass hands over what the fields need: with the palette when the file holds it.
TEST(MemberFieldsTest, SpansTheFieldsOfEachLayoutWithinTheFile) {
  BitmapMemberFields d5;
  d5.info_length = 3;
  BitmapMemberFields one_bit = d5;
  one_bit.specific_length = 22;
  BitmapMemberFields d4;
  d4.director4 = true;
  const struct {
    const char* name;
    Bytes member;
    size_t cut;  // bytes of the member left at the end of the file
    size_t span;
  } cases[] = {
      {"Director 5 whole", MovieBuilder::BitmapMember(d5), 43, 43},
      {"Director 5 without the palette", MovieBuilder::BitmapMember(d5), 40, 39},
      {"Director 5 without the depth", MovieBuilder::BitmapMember(d5), 38, 0},
      {"Director 5, 1 bit", MovieBuilder::BitmapMember(one_bit), 25, 25},
      {"Director 4 whole", MovieBuilder::BitmapMember(d4), 34, 34},
      {"Director 4 without the palette", MovieBuilder::BitmapMember(d4), 33, 32},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    MovieBuilder movie(4);
    movie.AddChunk("tSAC", Bytes(c.member.data(), c.member.data() + c.cut));
    Bytes file = movie.Build();
    ASSERT_TRUE(CheckContainer(file.data(), file.size()));
    ByteReader fields;
    EXPECT_EQ(MemberFields(MovieView(file.data(), file.size()), 3, fields), c.span != 0);
    EXPECT_EQ(fields.size(), c.span);
  }
}

}  // namespace
}  // namespace quillon
