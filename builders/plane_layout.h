#pragma once
// The movie's row layouts for bitmap and alpha members: one byte per pixel at 8 bits; at 16 and
// 32 bits each row holds separate byte planes of `width` bytes (high then low bytes of the
// 1-5-5-5 value; alpha, red, green, blue).

#include <cstdint>

#include "container/bitmap_member.h"

namespace quillon {

class CDib;

// Members whose plane buffer would be larger are refused after their size line.
inline constexpr uint64_t kMaxPlaneBytes = uint64_t{1} << 30;

// A member's rows: each an even number of bytes, pixels per row held in 32 bits so that the
// widest members still fit.
struct RowGeometry {
  uint32_t width = 0;
  uint32_t height = 0;
  uint32_t row_bytes = 0;
};

RowGeometry MemberGeometry(const CastBitmapInfo& info, uint32_t bytes_per_pixel);

// True when rows x height stays within kMaxPlaneBytes.
bool PlaneFits(const RowGeometry& geometry);

enum class PlaneLayout {
  kIndex8,    // low 8 bits of each pixel value
  kHighLow16, // 1-5-5-5: high bytes, then low bytes
  kArgb32,    // alpha, red, green, blue planes
};

// The 1-5-5-5 value of an 0xAARRGGBB colour: the top bit of alpha and the top five bits of each
// component, the lower bits dropped.
uint16_t ToRgb1555(uint32_t argb);

// Writes the first `columns` pixels of image row y (from the top) into `row`, whose planes are
// `width` bytes apart, each pixel's value as CDib::GetPixel gives it; bytes of columns not
// written keep their value. y must lie within the image and `columns` must not exceed it.
void FillRow(const CDib& image, PlaneLayout layout, int32_t y, uint32_t columns, uint32_t width,
             uint8_t* row);

}  // namespace quillon
