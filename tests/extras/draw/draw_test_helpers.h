#pragma once
// A numbered image drawn onto fresh surfaces, for the Draw tests of every platform.

#include <gtest/gtest.h>

#include <vector>

#include "extras/draw/dib_draw.h"
#include "extras/draw/draw_surface.h"

namespace quillon::test {

// A 32-bit 4 x 4 image whose pixel (x, y) is 10 * y + x, with a top byte that not every device
// keeps.
inline void MakeNumbered(CDib& dib) {
  ASSERT_TRUE(dib.Create(32, 4, 4));
  for (int32_t y = 0; y < 4; ++y) {
    for (int32_t x = 0; x < 4; ++x)
      dib.SetPixel32(x, y, 0xAA000000u | static_cast<uint32_t>(10 * y + x));
  }
}

inline std::vector<std::vector<uint32_t>> Pixels(const DrawSurface& surface) {
  std::vector<std::vector<uint32_t>> rows(static_cast<size_t>(surface.height()));
  for (int32_t y = 0; y < surface.height(); ++y) {
    for (int32_t x = 0; x < surface.width(); ++x)
      rows[static_cast<size_t>(y)].push_back(surface.GetPixel(x, y));
  }
  return rows;
}

using Grid = std::vector<std::vector<uint32_t>>;

// The numbered image drawn onto a fresh zeroed surface of the given size: its pixels.
inline Grid DrawNumbered(int32_t width, int32_t height, const Rect& dest, const Rect& src) {
  CDib dib;
  MakeNumbered(dib);
  DrawSurface surface;
  EXPECT_TRUE(surface.Create(width, height));
  EXPECT_TRUE(Draw(dib, surface, nullptr, dest, src));
  return Pixels(surface);
}

}  // namespace quillon::test
