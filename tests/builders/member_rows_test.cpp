#include "builders/member_rows.h"

#include <gtest/gtest.h>

#include <vector>

#include "builders/member_image.h"
#include "builders/row_codec.h"
#include "container/bitmap_member.h"

namespace quillon {
namespace {

using Bytes = std::vector<uint8_t>;

RowGeometry Geometry(uint16_t width, uint16_t height, uint32_t bytes_per_pixel) {
  CastBitmapInfo info;
  info.width = width;
  info.height = height;
  return MemberGeometry(info, 8 * bytes_per_pixel);
}

Bytes Decode(const Bytes& chunk, const RowGeometry& geometry, PlaneLayout layout,
             MemberRowsStatus expected = MemberRowsStatus::kOk) {
  Bytes rows;
  EXPECT_EQ(DecodeMemberRows(ByteReader(chunk.data(), chunk.size()), geometry, layout, rows),
            expected);
  return rows;
}

// Data of exactly the plain size is each row's pixels one after another; the planar rows put
// byte p of pixel x at p x width + x.
TEST(DecodeMemberRowsTest, PlainDataSpreadsIntoPlanes) {
  const struct {
    const char* name;
    uint32_t bytes_per_pixel;
    PlaneLayout layout;
    Bytes plain;  // two pixels wide, one row
    Bytes planar;
    uint32_t pixel1;
  } cases[] = {
      {"8 bits, padded", 1, PlaneLayout::kIndex8, {7, 9}, {7, 9}, 9},
      {"16 bits, big-endian", 2, PlaneLayout::kHighLow16, {0x81, 0x02, 0x03, 0x04},
       {0x81, 0x03, 0x02, 0x04}, 0x0304},
      {"32 bits, ARGB", 4, PlaneLayout::kArgb32, {1, 2, 3, 4, 5, 6, 7, 8},
       {1, 5, 2, 6, 3, 7, 4, 8}, 0x05060708},
  };
  for (const auto& c : cases) {
    const RowGeometry geometry = Geometry(2, 1, c.bytes_per_pixel);
    const Bytes rows = Decode(c.plain, geometry, c.layout);
    EXPECT_EQ(rows, c.planar) << c.name;
    EXPECT_EQ(RowPixel(rows, geometry, c.layout, 1, 0), c.pixel1) << c.name;
  }
  // An odd 8-bit width keeps its padding byte where the rows have it.
  EXPECT_EQ(Decode({1, 2, 3, 0xEE, 4, 5, 6, 0xEE}, Geometry(3, 2, 1), PlaneLayout::kIndex8),
            (Bytes{1, 2, 3, 0xEE, 4, 5, 6, 0xEE}));
}

TEST(DecodeMemberRowsTest, PackedDataIsOneStreamWhoseRunsMayCrossRows) {
  // 2 x 3 at 8 bits: one repeat run of 5 across three rows, then a literal.
  EXPECT_EQ(Decode({0xFC, 0x11, 0x00, 0x22}, Geometry(2, 3, 1), PlaneLayout::kIndex8),
            (Bytes{0x11, 0x11, 0x11, 0x11, 0x11, 0x22}));
  // What the builders pack, row by row, reads back as the rows.
  const Bytes plane = {1, 1, 1, 1, 9, 8, 7, 6, 0, 0, 0, 0};
  Bytes packed(2 * plane.size());
  packed.resize(PackRow(plane.data(), packed.data(), plane.size()));
  EXPECT_EQ(Decode(packed, Geometry(1, 3, 4), PlaneLayout::kArgb32), plane);
}

TEST(DecodeMemberRowsTest, RefusesDataThatDoesNotUnpackToTheMembersSize) {
  const RowGeometry geometry = Geometry(4, 2, 1);  // plain size 8
  const struct {
    const char* name;
    Bytes chunk;
  } cases[] = {
      {"too few bytes", {0xFD, 0x11}},
      {"too many bytes", {0xF6, 0x11}},
      {"literal cut short", {0x07, 1, 2, 3}},
      {"repeat without its value", {0xF9}},
      {"empty", {}},
  };
  for (const auto& c : cases) {
    Decode(c.chunk, geometry, PlaneLayout::kIndex8, MemberRowsStatus::kUnpackable);
  }
  CastBitmapInfo huge;
  huge.width = 65535;
  huge.height = 65535;
  Decode({}, MemberGeometry(huge, 32), PlaneLayout::kArgb32, MemberRowsStatus::kTooLarge);
}

// Two bytes give at most 129: rows they cannot fill are refused before they are allocated.
TEST(DecodeMemberRowsTest, AllocatesNoRowsThatThePackedBytesCannotFill) {
  EXPECT_EQ(Decode({0x80, 1, 0x80, 2}, Geometry(258, 1, 1), PlaneLayout::kIndex8).size(), 258u);
  const Bytes two = {0x80, 0};
  Bytes rows;
  EXPECT_EQ(DecodeMemberRows(ByteReader(two.data(), two.size()), Geometry(32000, 32000, 1),
                             PlaneLayout::kIndex8, rows),
            MemberRowsStatus::kUnpackable);
  EXPECT_EQ(rows.capacity(), 0u);
}

TEST(WidenRgb1555Test, EveryValueComesBackThroughTheBuildersReduction) {
  for (uint32_t q = 0; q <= 0xFFFF; ++q) {
    ASSERT_EQ(ToRgb1555(WidenRgb1555(static_cast<uint16_t>(q))), q) << q;
  }
  EXPECT_EQ(WidenRgb1555(0xFFFF), 0xFFFFFFFFu);
  EXPECT_EQ(WidenRgb1555(0x7C00), 0x00FF0000u);
  EXPECT_EQ(WidenRgb1555(0x0421), 0x00080808u);
}

}  // namespace
}  // namespace quillon
