#include "builders/member_rows.h"

#include <cstring>

#include "builders/row_codec.h"

namespace quillon {

namespace {

// The most bytes one run gives: a header and its value byte repeated 129 times.
constexpr uint64_t kMostRunBytes = 129;

// False when `packed` bytes could never unpack to `plain` ones: checked before the rows are
// allocated, so that a few bytes claiming a huge rectangle cost nothing.
bool CanUnpackTo(size_t packed, size_t plain) {
  return plain <= (uint64_t{packed} + 1) / 2 * kMostRunBytes;
}

uint32_t PlaneCount(PlaneLayout layout) {
  switch (layout) {
    case PlaneLayout::kHighLow16:
      return 2;
    case PlaneLayout::kArgb32:
      return 4;
    default:
      return 1;
  }
}

// Plain rows hold each pixel's bytes together; the planar layout spreads byte p of pixel x to
// p x width + x. At 8 bits and below both are the same, padding included.
void SpreadPlainRows(const uint8_t* plain, const RowGeometry& geometry, PlaneLayout layout,
                     uint8_t* rows) {
  const size_t planes = PlaneCount(layout);
  if (planes == 1) {
    std::memcpy(rows, plain, size_t{geometry.row_bytes} * geometry.height);
    return;
  }
  for (size_t y = 0; y < geometry.height; ++y) {
    const uint8_t* in = plain + y * geometry.row_bytes;
    uint8_t* out = rows + y * geometry.row_bytes;
    for (size_t x = 0; x < geometry.width; ++x) {
      for (size_t p = 0; p < planes; ++p) out[p * geometry.width + x] = in[x * planes + p];
    }
  }
}

}  // namespace

MemberRowsStatus DecodeMemberRows(const ByteReader& chunk, const RowGeometry& geometry,
                                  PlaneLayout layout, std::vector<uint8_t>& rows) {
  if (!PlaneFits(geometry)) return MemberRowsStatus::kTooLarge;
  const size_t plain_size = size_t{geometry.row_bytes} * geometry.height;
  if (chunk.size() != plain_size && !CanUnpackTo(chunk.size(), plain_size)) {
    return MemberRowsStatus::kUnpackable;
  }
  rows.assign(plain_size, 0);
  if (chunk.size() == plain_size) {
    if (plain_size > 0) SpreadPlainRows(chunk.data(), geometry, layout, rows.data());
    return MemberRowsStatus::kOk;
  }
  // One stream for the whole chunk: Director's runs may cross from one row into the next.
  size_t count = plain_size;
  if (UnpackRow(chunk.data(), chunk.size(), rows.data(), count) != UnpackStatus::kOk ||
      count != plain_size) {
    return MemberRowsStatus::kUnpackable;
  }
  return MemberRowsStatus::kOk;
}

uint32_t RowPixel(const std::vector<uint8_t>& rows, const RowGeometry& geometry,
                  PlaneLayout layout, uint32_t x, uint32_t y) {
  const uint8_t* row = rows.data() + size_t{y} * geometry.row_bytes;
  const size_t width = geometry.width;
  switch (layout) {
    case PlaneLayout::kIndex1:
    case PlaneLayout::kIndex2:
    case PlaneLayout::kIndex4: {
      const uint32_t bits = IndexBits(layout);
      const uint32_t bit = x * bits;
      return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
    }
    case PlaneLayout::kIndex8:
      return row[x];
    case PlaneLayout::kHighLow16:
      return uint32_t{row[x]} << 8 | row[width + x];
    case PlaneLayout::kArgb32:
      return uint32_t{row[x]} << 24 | uint32_t{row[width + x]} << 16 |
             uint32_t{row[2 * width + x]} << 8 | row[3 * width + x];
  }
  return 0;
}

}  // namespace quillon
