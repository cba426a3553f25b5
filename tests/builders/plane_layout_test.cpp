#include "builders/plane_layout.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "image/dib.h"

namespace quillon {
namespace {

// The planes of one row as the pixels read one by one through GetPixel make them.
std::vector<uint8_t> RowByPixels(const CDib& image, PlaneLayout layout, int32_t y,
                                 uint32_t columns, uint32_t width) {
  std::vector<uint8_t> row(4 * size_t{width} + 1, 0xA5);
  for (uint32_t x = 0; x < columns; ++x) {
    const uint32_t value = image.GetPixel(static_cast<int32_t>(x), y);
    const uint16_t q = ToRgb1555(value);
    switch (layout) {
      case PlaneLayout::kIndex8:
        row[x] = static_cast<uint8_t>(value);
        break;
      case PlaneLayout::kHighLow16:
        row[x] = static_cast<uint8_t>(q >> 8);
        row[width + x] = static_cast<uint8_t>(q);
        break;
      case PlaneLayout::kArgb32:
        for (uint32_t plane = 0; plane < 4; ++plane) {
          row[plane * width + x] = static_cast<uint8_t>(value >> (24 - 8 * plane));
        }
        break;
    }
  }
  return row;
}

TEST(FillRowTest, SplitsEveryDepthIntoEveryLayoutAsGetPixelReadsIt) {
  constexpr int32_t kWidth = 13;
  constexpr int32_t kHeight = 3;
  std::mt19937 random(19);
  for (const int bit_count : {1, 4, 8, 16, 24, 32}) {
    CDib image;
    ASSERT_TRUE(image.Create(bit_count, kWidth, kHeight));
    for (int32_t y = 0; y < kHeight; ++y) {
      for (int32_t x = 0; x < kWidth; ++x) image.SetPixel(x, y, static_cast<uint32_t>(random()));
    }
    for (const PlaneLayout layout :
         {PlaneLayout::kIndex8, PlaneLayout::kHighLow16, PlaneLayout::kArgb32}) {
      // All columns, and only the first few: the bytes of the others stay as they were.
      for (const uint32_t columns : {uint32_t{kWidth}, 5u}) {
        for (int32_t y = 0; y < kHeight; ++y) {
          std::vector<uint8_t> row(4 * size_t{kWidth} + 1, 0xA5);
          FillRow(image, layout, y, columns, kWidth, row.data());
          EXPECT_EQ(row, RowByPixels(image, layout, y, columns, kWidth))
              << bit_count << " bits, layout " << static_cast<int>(layout) << ", row " << y
              << ", " << columns << " columns";
        }
      }
    }
  }
}

}  // namespace
}  // namespace quillon
