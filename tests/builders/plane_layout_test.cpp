#include "builders/plane_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "image/dib.h"

namespace quillon {
namespace {

constexpr uint32_t kWidth = 13;

// The planes of row y as the pixels read one by one through GetPixel make them.
std::vector<uint8_t> RowByPixels(const CDib& image, PlaneLayout layout, int32_t y,
                                 uint32_t columns) {
  std::vector<uint8_t> row(4 * kWidth + 1, 0xA5);
  const uint32_t bits = IndexBits(layout);
  if (bits != 0 && bits < 8) {
    // Packed most significant bits first; the bytes the columns reach are made whole.
    std::fill(row.begin(), row.begin() + (columns * bits + 7) / 8, 0);
    for (uint32_t x = 0; x < columns; ++x) {
      const uint32_t value = image.GetPixel(static_cast<int32_t>(x), y) & ((1u << bits) - 1);
      row[x * bits / 8] =
          static_cast<uint8_t>(row[x * bits / 8] | value << (8 - bits - x * bits % 8));
    }
    return row;
  }
  for (uint32_t x = 0; x < columns; ++x) {
    const uint32_t value = image.GetPixel(static_cast<int32_t>(x), y);
    const uint32_t q = ToRgb1555(value);
    std::vector<uint32_t> planes = {value};
    if (layout == PlaneLayout::kHighLow16) planes = {q >> 8, q};
    if (layout == PlaneLayout::kArgb32) planes = {value >> 24, value >> 16, value >> 8, value};
    for (size_t plane = 0; plane < planes.size(); ++plane) {
      row[plane * kWidth + x] = static_cast<uint8_t>(planes[plane]);
    }
  }
  return row;
}

TEST(FillRowTest, SplitsEveryDepthIntoEveryLayoutAsGetPixelReadsIt) {
  std::mt19937 random(19);
  for (const int bit_count : {1, 4, 8, 16, 24, 32}) {
    CDib image;
    ASSERT_TRUE(image.Create(bit_count, kWidth, 2));
    for (int32_t y = 0; y < 2; ++y) {
      for (int32_t x = 0; x < int32_t{kWidth}; ++x) {
        image.SetPixel(x, y, static_cast<uint32_t>(random()));
      }
    }
    for (const auto layout : {PlaneLayout::kIndex1, PlaneLayout::kIndex2, PlaneLayout::kIndex4,
                              PlaneLayout::kIndex8, PlaneLayout::kHighLow16,
                              PlaneLayout::kArgb32}) {
      // All columns, and only the first few: the bytes of the others stay as they were.
      for (const uint32_t columns : {kWidth, 5u}) {
        for (int32_t y = 0; y < 2; ++y) {
          std::vector<uint8_t> row(4 * kWidth + 1, 0xA5);
          FillRow(image, layout, y, columns, kWidth, row.data());
          EXPECT_EQ(row, RowByPixels(image, layout, y, columns))
              << bit_count << " bits, layout " << static_cast<int>(layout) << ", " << columns;
        }
      }
    }
  }
}

}  // namespace
}  // namespace quillon
