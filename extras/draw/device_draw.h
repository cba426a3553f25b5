#pragma once
// The two ways Draw puts an image into a device context, one per platform: GDI's
// SetDIBitsToDevice and StretchDIBits on Windows, the drawing surface's copies elsewhere. Both
// return the number of scan lines drawn.

#include <cstdint>

#include "extras/draw/draw_surface.h"
#include "extras/draw/rect.h"
#include "image/dib.h"

namespace quillon {

// dest and src are equal: a plain copy, the source counted from the image's bottom row and its
// height taken as a 16-bit scan-line count.
int32_t CopyToDevice(DrawSurface& surface, const CDib& dib, const Rect& dest, const Rect& src);
// Any other pair: stretched by nearest pixel, src.top passed on unchanged.
int32_t StretchToDevice(DrawSurface& surface, const CDib& dib, const Rect& dest, const Rect& src);

}  // namespace quillon
