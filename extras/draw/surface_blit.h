#pragma once
// SetDIBitsToDevice and StretchDIBits where there is no GDI: a bitmap copied or stretched onto a
// drawing surface.
//
// How they follow GDI:
// - Both read their source y counted from the bitmap's bottom row, as the GDI calls do for a
//   bottom-up bitmap; the source rectangle's top row lands on the destination's top row.
// - Stretching is always by nearest pixel, as the COLORONCOLOR stretch mode does; no other mode
//   exists here, so none is kept.
// - Zero or negative extents draw nothing (GDI would mirror negative ones).
// - Both return the number of destination rows that received at least one pixel.

#include <cstdint>
#include <functional>

#include "extras/draw/draw_surface.h"

namespace quillon {

// A bitmap as the copies read it: its size and the colour of pixel (x, y), y counted from the top.
// Only pixels inside the size are asked for, and only those that land on the surface.
struct DeviceImage {
  int32_t width = 0;
  int32_t height = 0;
  std::function<uint32_t(int32_t x, int32_t y)> color_at;
};

// A rectangle as origin and extent; wide enough for the difference of two 32-bit coordinates.
struct BlitArea {
  int64_t x, y, width, height;
};

// SetDIBitsToDevice: dest.width x dest.height pixels from the source area whose lower-left pixel
// is (src_x, src_bottom) to `dest`. Only the image's first `scan_lines` rows from the bottom are
// available.
int32_t CopyImage(DrawSurface& surface, const BlitArea& dest, int64_t src_x, int64_t src_bottom,
                  uint32_t scan_lines, const DeviceImage& image);
// StretchDIBits: the source area (its y the lower-left pixel's row, counted from the bottom)
// scaled by nearest pixel onto `dest`.
int32_t StretchImage(DrawSurface& surface, const BlitArea& dest, const BlitArea& src,
                     const DeviceImage& image);

}  // namespace quillon
