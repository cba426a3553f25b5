#include "container/member_palette.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container/builtin_palettes.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "fixtures/movie_builder.h"

namespace quillon {
namespace {

using test::BitmapMemberFields;
using test::Bytes;
using test::MovieBuilder;

Bytes BitmapWithPalette(int16_t library, int16_t id, uint32_t info_length = 0) {
  BitmapMemberFields fields;
  fields.right = 4;
  fields.bottom = 2;
  fields.palette_library = library;
  fields.palette_id = id;
  fields.info_length = info_length;
  return MovieBuilder::BitmapMember(fields);
}

// CLUT data: each channel's byte repeated, as Director writes them.
Bytes Clut(const std::vector<uint32_t>& colors) {
  Bytes data;
  for (const uint32_t color : colors) {
    for (const int shift : {16, 8, 0}) {
      const auto channel = static_cast<uint8_t>(color >> shift);
      data.push_back(channel);
      data.push_back(channel);
    }
  }
  return data;
}

// Member 1 a bitmap, member 2 a palette whose CLUT is `clut` (none when empty), member 3 a
// palette member without a CLUT.
class MemberPaletteTest : public ::testing::Test {
 protected:
  MemberPalette Resolve(const Bytes& member, const Bytes& clut = Clut({0x102030, 0xA0B0C0})) {
    MovieBuilder movie(16);
    const uint32_t bitmap = movie.AddChunk("tSAC", member);
    const uint32_t palette = movie.AddChunk("tSAC", {});
    const uint32_t bare = movie.AddChunk("tSAC", {});
    const uint32_t colors = movie.AddChunk("TULC", clut);
    movie.AddChunk("*SAC", MovieBuilder::CastTable({{bitmap}, {palette}, {bare}}));
    movie.AddChunk("*YEK", MovieBuilder::KeyTable({{colors, palette, "TULC"}}));
    file_ = movie.Build();
    EXPECT_TRUE(CheckContainer(file_.data(), file_.size()));
    const MovieView view(file_.data(), file_.size());
    return ResolveMemberPalette(CastTables(view), ByteReader(member.data(), member.size()));
  }

  Bytes file_;
};

TEST_F(MemberPaletteTest, BuiltInIdsGiveTheirPalettesWhateverTheCastLibrary) {
  const struct {
    int16_t id;
    const char* name;
  } cases[] = {{0, "System - Mac"},   {-1, "Rainbow"}, {-2, "Grayscale"},
               {-6, "Metallic"},      {-100, "System - Win (Dir 4)"},
               {-101, "System - Win"}};
  for (const auto& c : cases) {
    for (const int16_t library : {int16_t{-1}, int16_t{0}, int16_t{3}}) {
      const MemberPalette palette = Resolve(BitmapWithPalette(library, c.id));
      EXPECT_EQ(palette.name, c.name);
      EXPECT_EQ(palette.note, "");
      ASSERT_EQ(palette.colors.size(), kBuiltinPaletteSize);
      EXPECT_EQ(palette.colors[1], FindBuiltinPalette(c.id)->colors[1]);
    }
  }
}

TEST_F(MemberPaletteTest, APaletteMemberOfTheOwnCastGivesItsClutInIndexOrder) {
  const MemberPalette palette = Resolve(BitmapWithPalette(-1, 2, 3));
  EXPECT_EQ(palette.name, "member 2");
  EXPECT_EQ(palette.note, "");
  EXPECT_EQ(palette.colors, (std::vector<uint32_t>{0x102030, 0xA0B0C0}));
}

TEST_F(MemberPaletteTest, ReferencesThatLeadNowhereFallBackToSystemWinWithAReason) {
  Bytes short_member = BitmapWithPalette(-1, 2);
  short_member.resize(short_member.size() - 3);
  const struct {
    const char* name;
    Bytes member;
    Bytes clut;
    const char* note;
  } cases[] = {
      {"unknown built-in", BitmapWithPalette(-1, -7), Clut({1}),
       "no built-in palette -7; System - Win used"},
      {"another cast library", BitmapWithPalette(2, 2), Clut({1}),
       "palette member 2 of cast library 2; System - Win used"},
      {"no such member", BitmapWithPalette(-1, 9), Clut({1}),
       "palette member 9 not found; System - Win used"},
      {"member without a CLUT", BitmapWithPalette(-1, 3), Clut({1}),
       "palette member 3 not found; System - Win used"},
      {"CLUT of no whole entry", BitmapWithPalette(-1, 2), Bytes(5, 0xFF),
       "palette member 2 is empty; System - Win used"},
      {"member too short for the field", short_member, Clut({1}),
       "no palette field; System - Win used"},
  };
  for (const auto& c : cases) {
    const MemberPalette palette = Resolve(c.member, c.clut);
    EXPECT_EQ(palette.name, "System - Win") << c.name;
    EXPECT_EQ(palette.note, c.note) << c.name;
    EXPECT_EQ(palette.colors.size(), kBuiltinPaletteSize) << c.name;
  }
}

TEST(DecodeClutTest, TakesTheHighBytesOfWholeEntriesUpTo256) {
  const Bytes one = {0x12, 0x99, 0x34, 0x00, 0x56, 0xFF, 0xAB};  // one entry and a spare byte
  EXPECT_EQ(DecodeClut(ByteReader(one.data(), one.size())), (std::vector<uint32_t>{0x123456}));
  const Bytes many(6 * 300, 0x7F);
  EXPECT_EQ(DecodeClut(ByteReader(many.data(), many.size())).size(), 256u);
}

}  // namespace
}  // namespace quillon
