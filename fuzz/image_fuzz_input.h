#pragma once
// What the image fuzz targets share: the input goes straight to a decoder, and an accepted image
// is read whole the way a builder reads it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "image/dib.h"
#include "image/image_decode.h"

namespace quillon::fuzz {

// Every pixel, colour and table entry; the sum keeps the reads from being optimised away.
inline uint64_t ReadEverything(const CDib& dib) {
  uint64_t sum = 0;
  if (!dib.HasImage()) return sum;
  for (int32_t y = 0; y < dib.GetHeight(); ++y) {
    for (int32_t x = 0; x < dib.GetWidth(); ++x) {
      const uint32_t pixel = dib.GetPixel(x, y);
      sum += pixel + dib.GetColorTableEntry(pixel);
    }
  }
  return sum;
}

// Decodes the input and reads whatever image results. An accepted input that leaves no image
// breaks the decoders' contract and ends the run.
inline int DecodeAndReadAll(ImageStatus (*decode)(const uint8_t*, size_t, CDib&),
                            const uint8_t* data, size_t size) {
  CDib dib;
  if (decode(data, size, dib) == ImageStatus::kOk && !dib.HasImage()) std::abort();
  volatile uint64_t sum = ReadEverything(dib);
  (void)sum;
  return 0;
}

}  // namespace quillon::fuzz
