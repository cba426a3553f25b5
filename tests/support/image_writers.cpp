#include "tests/support/image_writers.h"

#include <cstdlib>

namespace quillon::test {
namespace {

void PutLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutLeAt(std::vector<uint8_t>& out, size_t offset, uint32_t value) {
  for (size_t i = 0; i < 4; ++i) out[offset + i] = static_cast<uint8_t>(value >> (8 * i));
}

// One BMP row in the pixel layout of its depth, padded to whole 32-bit words.
std::vector<uint8_t> PackRow(const uint32_t* pixels, int32_t width, int bitCount) {
  const size_t stride = (static_cast<size_t>(width) * static_cast<size_t>(bitCount) + 31) / 32 * 4;
  std::vector<uint8_t> row(stride, 0);
  for (int32_t x = 0; x < width; ++x) {
    const uint32_t value = pixels[x];
    const auto ux = static_cast<size_t>(x);
    if (bitCount == 1) {
      if (value != 0) row[ux / 8] = static_cast<uint8_t>(row[ux / 8] | 0x80u >> (ux % 8));
    } else if (bitCount == 4) {
      row[ux / 2] = static_cast<uint8_t>(row[ux / 2] | (value & 15u) << (ux % 2 == 0 ? 4 : 0));
    } else {
      const size_t bytes = static_cast<size_t>(bitCount) / 8;
      for (size_t i = 0; i < bytes; ++i) {
        row[ux * bytes + i] = static_cast<uint8_t>(value >> (8 * i));
      }
    }
  }
  return row;
}

}  // namespace

std::vector<uint8_t> EncodeBmp(const BmpLayout& layout) {
  const int32_t rows = std::abs(layout.height);
  std::vector<uint8_t> pixelArea;
  for (int32_t r = 0; r < rows; ++r) {
    // Bottom-up files store the picture's last row first.
    const int32_t y = layout.height < 0 ? r : rows - 1 - r;
    const std::vector<uint8_t> row =
        PackRow(layout.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(layout.width),
                layout.width, layout.bitCount);
    pixelArea.insert(pixelArea.end(), row.begin(), row.end());
  }
  const auto offBits = static_cast<uint32_t>(54 + 4 * layout.palette.size());
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe(out, offBits + pixelArea.size(), 4);
  PutLe(out, 0, 4);
  PutLe(out, offBits, 4);
  PutLe(out, 40, 4);
  PutLe(out, static_cast<uint32_t>(layout.width), 4);
  PutLe(out, static_cast<uint32_t>(layout.height), 4);
  PutLe(out, 1, 2);
  PutLe(out, static_cast<uint32_t>(layout.bitCount), 2);
  PutLe(out, layout.compression, 4);
  PutLe(out, 0, 4);  // size image: the reader works it out
  PutLe(out, 0, 8);  // resolutions
  const uint32_t clrUsed =
      layout.clrUsed == UINT32_MAX ? static_cast<uint32_t>(layout.palette.size()) : layout.clrUsed;
  PutLe(out, clrUsed, 4);
  PutLe(out, clrUsed, 4);
  for (uint32_t entry : layout.palette) PutLe(out, entry, 4);
  out.insert(out.end(), pixelArea.begin(), pixelArea.end());
  PutLeAt(out, 2, static_cast<uint32_t>(out.size()));
  return out;
}

std::vector<uint8_t> EncodeTga(const TgaLayout& layout) {
  std::vector<uint8_t> out;
  out.push_back(static_cast<uint8_t>(layout.id.size()));
  out.push_back(layout.colorMapType);
  out.push_back(layout.imageType);
  PutLe(out, layout.mapFirst, 2);
  PutLe(out, layout.map.size(), 2);
  out.push_back(layout.mapEntryBits);
  PutLe(out, 0, 4);  // origin
  PutLe(out, layout.width, 2);
  PutLe(out, layout.height, 2);
  out.push_back(layout.depth);
  out.push_back(layout.descriptor);
  out.insert(out.end(), layout.id.begin(), layout.id.end());
  for (uint32_t entry : layout.map) PutLe(out, entry, (layout.mapEntryBits + 7) / 8);
  const bool topRowFirst = (layout.descriptor & 0x20) != 0;
  for (size_t r = 0; r < layout.height; ++r) {
    const size_t y = topRowFirst ? r : layout.height - 1 - r;
    for (size_t x = 0; x < layout.width; ++x) {
      PutLe(out, layout.pixels[y * layout.width + x], layout.depth / 8);
    }
  }
  return out;
}

std::vector<uint8_t> EncodeTrueColorTga(int depth, uint16_t width, uint16_t height,
                                        const std::vector<uint32_t>& pixels, uint8_t descriptor) {
  TgaLayout layout;
  layout.depth = static_cast<uint8_t>(depth);
  layout.width = width;
  layout.height = height;
  layout.pixels = pixels;
  layout.descriptor = descriptor;
  return EncodeTga(layout);
}

}  // namespace quillon::test
