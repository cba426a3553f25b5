#pragma once
// A CDib as a binary PPM file.

#include "image/dib.h"

namespace quillon {

// 3 bytes per pixel: bits 16-23, 8-15 and 0-7 of the pixel value, unlooked-up. False for an
// empty image or a file that cannot be opened.
bool SavePpm(const CDib& dib, const char* path);

}  // namespace quillon
