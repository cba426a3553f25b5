#pragma once
// What the RenderText tests of every platform start from.

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

#include "extras/image/dib_paint.h"
#include "tests/extras/draw/test_font.h"

namespace quillon::test {

constexpr uint32_t kPaper = 0x00123456u;
constexpr uint32_t kInk = 0x00FFFFFFu;
constexpr int32_t kWidth = 120;
constexpr int32_t kHeight = 24;

// A 32-bit image of paper colour and the platform's test font at 16 pixels.
class RenderTextFixture : public testing::Test {
 protected:
  void SetUp() override {
    font_ = LoadTestFont(16);
    if (!font_) GTEST_SKIP() << "no font " << TestFontName();
    ASSERT_TRUE(dib_.Create(32, kWidth, kHeight));
    Fill(dib_, kPaper);
  }

  // Columns from the first to the last that hold ink; {-1, -1} when none does.
  std::pair<int32_t, int32_t> InkColumns() const {
    std::pair<int32_t, int32_t> span = {-1, -1};
    for (int32_t x = 0; x < kWidth; ++x) {
      for (int32_t y = 0; y < kHeight; ++y) {
        if (dib_.GetPixel32(x, y) != kInk) continue;
        if (span.first < 0) span.first = x;
        span.second = x;
      }
    }
    return span;
  }

  std::vector<uint8_t> Bits() const {
    return std::vector<uint8_t>(dib_.GetBits(), dib_.GetBits() + dib_.GetBitsSize());
  }

  std::unique_ptr<Font> font_;
  CDib dib_;
};

}  // namespace quillon::test
