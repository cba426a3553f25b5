#include "container/bitmap_member.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace quillon
