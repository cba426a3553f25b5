// SavePpm: binary PPM export.
#include "extras/image/dib_ppm.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace quillon {

bool SavePpm(const CDib& dib, const char* path) {
  if (!dib.HasImage()) return false;
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path, "wb"), std::fclose);
  if (!file) return false;
  const int32_t width = dib.GetWidth();
  const int32_t height = dib.GetHeight();
  std::fprintf(file.get(), "P6\n#Created by Varnel!\n%d %d\n255\n", width, height);
  std::vector<uint8_t> row(3 * static_cast<size_t>(width));
  for (int32_t y = 0; y < height; ++y) {
    // The value is written as it is, with no colour-table lookup at any depth.
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t value = dib.GetPixel(x, y);
      uint8_t* out = &row[3 * static_cast<size_t>(x)];
      out[0] = static_cast<uint8_t>(value >> 16);
      out[1] = static_cast<uint8_t>(value >> 8);
      out[2] = static_cast<uint8_t>(value);
    }
    std::fwrite(row.data(), 1, row.size(), file.get());
  }
  return true;
}

}  // namespace quillon
