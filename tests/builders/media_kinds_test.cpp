#include "builders/media_kinds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container/bitmap_member.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "fixtures/movie_builder.h"

namespace quillon {
namespace {

using test::BitmapMemberFields;
using test::Bytes;
using test::MovieBuilder;

const Bytes kGif89 = {'G', 'I', 'F', '8', '9', 'a', 1, 2};

// Every chunk the cast pass hands over, as one text each, in order: the kind, the cast number,
// then the member and child entries and the member's width, or the child alone for GIF media.
std::vector<std::string> RunPass(Bytes& file) {
  EXPECT_TRUE(CheckContainer(file.data(), file.size()));
  const MovieView movie(file.data(), file.size());
  std::vector<std::string> calls;
  ForEachCastMedia(CastTables(movie), [&](const MediaKind& kind, const CastMedia& media) {
    const std::string head = std::string(kind.manifest_name) + " " +
                             std::to_string(media.cast_number) + " ";
    if (media.member.size() == 0) {  // a kind that reads nothing of its member
      calls.push_back(head + std::to_string(media.child));
      return;
    }
    CastBitmapInfo info;
    const bool read = ReadCastBitmapInfo(media.member, info);
    calls.push_back(head + std::to_string(media.member_entry) + " " + std::to_string(media.child) +
                    (read ? " " + std::to_string(info.width) : " unread"));
  });
  return calls;
}

Bytes Member(uint16_t width) {
  BitmapMemberFields fields;
  fields.right = width;
  fields.bottom = 1;
  return MovieBuilder::BitmapMember(fields);
}

TEST(CastPassTest, DispatchesInSlotOrderThenKeyTableOrder) {
  MovieBuilder movie(16);
  const uint32_t a = movie.AddChunk("tSAC", Member(5));    // 3
  const uint32_t b = movie.AddChunk("tSAC", Member(7));    // 4
  const uint32_t bitd = movie.AddChunk("DTIB", {});        // 5
  const uint32_t alfa = movie.AddChunk("AFLA", {});        // 6
  const uint32_t xmed = movie.AddChunk("DEMX", kGif89);    // 7
  const uint32_t bitd_b = movie.AddChunk("DTIB", {});      // 8
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{b}, {a, false}, {b, false}, {99}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{alfa, a, "AFLA"},
                                                  {bitd_b, b, "DTIB"},
                                                  {bitd, a, "DTIB"},
                                                  {xmed, a, "DEMX"},
                                                  {bitd, 42, "DTIB"},  // owner in no slot
                                                  {bitd, a, "TXTS"}}));
  Bytes file = movie.Build();
  EXPECT_EQ(RunPass(file), (std::vector<std::string>{"bitmap 1 4 8 7", "alpha 2 3 6 5",
                                                      "bitmap 2 3 5 5", "gif 2 7", "text 2 5",
                                                      "bitmap 3 4 8 7"}));
}

TEST(CastPassTest, WalksASlotOfZeroLikeAnyOther) {
  MovieBuilder movie(8);
  const uint32_t xmed = movie.AddChunk("DEMX", kGif89);  // 3
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{3}, {0}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{xmed, 0, "DEMX"}}));
  Bytes file = movie.Build();
  EXPECT_EQ(RunPass(file), (std::vector<std::string>{"gif 2 3"}));
}

TEST(CastPassTest, HandsOverOnlyXmedChunksThatBeginWithGif89a) {
  MovieBuilder movie(12);
  const uint32_t member = movie.AddChunk("tSAC", Member(1));
  const uint32_t gif89 = movie.AddChunk("DEMX", kGif89);
  const uint32_t gif87 = movie.AddChunk("DEMX", {'G', 'I', 'F', '8', '7', 'a'});
  const uint32_t shorter = movie.AddChunk("DEMX", {'G', 'I', 'F', '8', '9'});
  const uint32_t flash = movie.AddChunk("DEMX", {'F', 'W', 'S', 1, 2, 3, 4});
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{gif87, member, "DEMX"},
                                                  {shorter, member, "DEMX"},
                                                  {flash, member, "DEMX"},
                                                  {gif89, member, "DEMX"},
                                                  {gif89, member, "DEMx"}}));
  Bytes file = movie.Build();
  EXPECT_EQ(RunPass(file), (std::vector<std::string>{"gif 1 4"}));
}

TEST(CastPassTest, IgnoresTrailingCastTableBytesAndKeysBeyondTheTable) {
  MovieBuilder movie(8);
  const uint32_t member = movie.AddChunk("tSAC", Member(3));
  const uint32_t bitd = movie.AddChunk("DTIB", {});
  Bytes cast = MovieBuilder::CastTable({{member}, {member}});
  cast.push_back(0);
  cast.push_back(0);  // 10 bytes: two slots
  movie.AddChunk("*SAC", cast);
  // A key count of 5 with one entry: the pass reads only what lies inside the table.
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{bitd, member, "DTIB"}}, 5));
  Bytes file = movie.Build();
  EXPECT_EQ(RunPass(file), (std::vector<std::string>{"bitmap 1 3 4 3", "bitmap 2 3 4 3"}));
}

TEST(CastPassTest, PassesOverKeysAndMembersThatLeadOutsideTheMapOrTheFile) {
  MovieBuilder movie(12);
  const uint32_t member = movie.AddChunk("tSAC", Member(3));     // 3
  const uint32_t bitd = movie.AddChunk("DTIB", {});              // 4
  const uint32_t far_gif = movie.AddEntry("DEMX", 6, 0xFFFFFF00, 1);  // 5, data past the end
  const uint32_t far_member = movie.AddEntry("tSAC", 40, 0xFFFFFF00, 1);  // 6
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{member}, {far_member}, {200}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{99, member, "DTIB"},      // child >= usedCount
                                                  {far_gif, member, "DEMX"},
                                                  {bitd, far_member, "DTIB"},
                                                  {bitd, 200, "DTIB"},      // owner >= usedCount
                                                  {bitd, member, "AFLA"}}));
  Bytes file = movie.Build();
  EXPECT_EQ(RunPass(file), (std::vector<std::string>{"alpha 1 3 4 3"}));
}

TEST(CastPassTest, PassesOverAMemberWhoseInfoLengthRunsPastTheFile) {
  MovieBuilder movie(8);
  Bytes data = MovieBuilder::BitmapMember(BitmapMemberFields{});
  data[4] = data[5] = data[6] = 0xFF;  // info length as stored, big-endian
  const uint32_t member = movie.AddChunk("tSAC", data);
  const uint32_t bitd = movie.AddChunk("DTIB", {});
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{bitd, member, "DTIB"}}));
  Bytes file = movie.Build();
  EXPECT_TRUE(RunPass(file).empty());
}

TEST(CastPassTest, DoesNothingWithoutBothTables) {
  for (bool with_cast : {false, true}) {
    MovieBuilder movie(8);
    const uint32_t member = movie.AddChunk("tSAC", Member(3));
    const uint32_t bitd = movie.AddChunk("DTIB", {});
    if (with_cast) {
      movie.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
    } else {
      movie.AddChunk("*YEK", MovieBuilder::KeyTable({{bitd, member, "DTIB"}}));
    }
    Bytes file = movie.Build();
    EXPECT_TRUE(RunPass(file).empty()) << with_cast;
  }
}

}  // namespace
}  // namespace quillon
