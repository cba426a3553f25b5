#pragma once
// What the image fuzz targets share: the loaders read files, so each input is written to one
// temporary file of the process, and an accepted image is read whole the way a builder reads it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "image/dib.h"

namespace quillon::fuzz {

inline void RemoveInput();

inline const std::string& InputPath() {
  static const std::string path = (std::filesystem::temp_directory_path() /
                                   ("quillon-image-fuzz-" + std::to_string(std::random_device()())))
                                      .string();
  // Registered after the path exists, so that it runs before the path is destroyed.
  static const int removal = std::atexit(RemoveInput);
  (void)removal;
  return path;
}

inline void RemoveInput() { std::remove(InputPath().c_str()); }

inline const char* WriteInput(const uint8_t* data, size_t size) {
  std::FILE* file = std::fopen(InputPath().c_str(), "wb");
  if (file == nullptr || (size > 0 && std::fwrite(data, 1, size, file) != size)) std::abort();
  std::fclose(file);
  return InputPath().c_str();
}

// Every pixel, colour and table entry; the sum keeps the reads from being optimised away.
inline uint64_t ReadEverything(const CDib& dib) {
  uint64_t sum = 0;
  if (!dib.HasImage()) return sum;
  for (int32_t y = 0; y < dib.GetHeight(); ++y) {
    for (int32_t x = 0; x < dib.GetWidth(); ++x) {
      const uint32_t pixel = dib.GetPixel(x, y);
      sum += pixel + dib.GetColorTableEntry(pixel);
      if (dib.GetBitCount() != 1) sum += dib.GetColor(x, y);
    }
  }
  return sum;
}

// Loads the input with one of CDib's loaders and reads whatever image results.
inline int LoadAndReadAll(bool (CDib::*load)(const char*), const uint8_t* data, size_t size) {
  CDib dib;
  (dib.*load)(WriteInput(data, size));
  volatile uint64_t sum = ReadEverything(dib);
  (void)sum;
  return 0;
}

}  // namespace quillon::fuzz
