#pragma once
// BMP and TGA files decoded from their bytes (the whole file, as read), never reading outside
// them. Each answers why it refused a file.

#include <cstddef>
#include <cstdint>

#include "image/image_status.h"

namespace quillon {

class CDib;

// An uncompressed BMP (or bit fields at 16 and 32 bits), stored bottom-up or top-down, with a
// 40-byte or later header (cut down to 40 bytes, bit-field masks kept after it). The image is
// emptied first and stays empty on anything but kOk.
ImageStatus DecodeBmp(const uint8_t* data, size_t size, CDib& image);

// An uncompressed colour-mapped TGA with 8-bit indices (type 1) or a true-colour TGA at 24 or
// 32 bits (type 2); the image ID and any colour map a true-colour file declares are skipped.
// What a refusal leaves in the image, as the class's loader always has:
// - the previous image, when the refusal comes from the header alone or the bytes end before
//   the pixels;
// - an empty image after a failed allocation;
// - otherwise (a type or depth it does not read, in a file that holds that many pixel bytes)
//   a zeroed image of the header's size and depth.
ImageStatus DecodeTga(const uint8_t* data, size_t size, CDib& image);

}  // namespace quillon
