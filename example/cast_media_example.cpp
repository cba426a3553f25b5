#include "example/cast_media_example.h"

#include <cstdio>

#include "fixtures/image_writers.h"

namespace quillon::example {

namespace {

using test::BitmapMemberFields;
using test::Bytes;
using test::MovieBuilder;

// The smallest GIF89a picture: one transparent pixel.
const Bytes kTinyGif = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
                        0x00, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00,
                        0x00, 0x00, 0x00, 0x2C, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
                        0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};

Bytes Member(uint16_t width, uint16_t height, uint8_t depth) {
  BitmapMemberFields fields;
  fields.top = 10;  // placed on the stage, as real members are
  fields.left = 20;
  fields.bottom = static_cast<uint16_t>(10 + height);
  fields.right = static_cast<uint16_t>(20 + width);
  fields.depth = depth;
  return MovieBuilder::BitmapMember(fields);
}

// Diagonal bands: runs of equal bytes and changes in every row.
std::vector<uint32_t> Bands(uint16_t width, uint16_t height, uint32_t step) {
  std::vector<uint32_t> pixels;
  for (uint32_t y = 0; y < height; ++y) {
    for (uint32_t x = 0; x < width; ++x) pixels.push_back((x + y) / 3 * step);
  }
  return pixels;
}

std::string FileName(const std::string& stem, uint32_t cast_number, const char* suffix) {
  char number[16];
  std::snprintf(number, sizeof number, "%06u", cast_number);
  return stem + "-" + number + suffix;
}

}  // namespace

std::vector<ExampleFile> AddCastMedia(MovieBuilder& movie, const std::string& stem) {
  const uint32_t indexed = movie.AddChunk("tSAC", Member(9, 6, 8));
  const uint32_t indexed_pixels = movie.AddChunk("DTIB", {0x00, 0x00});
  const uint32_t indexed_alpha = movie.AddChunk("AFLA", {0x00, 0xFF});
  const uint32_t high = movie.AddChunk("tSAC", Member(8, 4, 16));
  const uint32_t high_pixels = movie.AddChunk("DTIB", {0x00, 0x7F});
  const uint32_t full = movie.AddChunk("tSAC", Member(6, 6, 32));
  const uint32_t full_pixels = movie.AddChunk("DTIB", {0x00, 0x00, 0x00, 0xFF});
  const uint32_t animation = movie.AddChunk("tSAC", Member(1, 1, 8));
  const uint32_t gif = movie.AddChunk("DEMX", {'G', 'I', 'F', '8', '9', 'a', 0x01, 0x00});
  movie.AddChunk("*SAC", MovieBuilder::CastTable({{indexed}, {high}, {full}, {animation}}));
  movie.AddChunk("*YEK", MovieBuilder::KeyTable({{indexed_pixels, indexed, "DTIB"},
                                                  {indexed_alpha, indexed, "AFLA"},
                                                  {high_pixels, high, "DTIB"},
                                                  {full_pixels, full, "DTIB"},
                                                  {gif, animation, "DEMX"}}));

  test::BmpLayout indices;
  indices.width = 9;
  indices.height = 6;
  indices.pixels = Bands(9, 6, 40);
  for (uint32_t i = 0; i < 256; ++i) indices.palette.push_back(i * 0x010101);
  return {
      {FileName(stem, 1, "-8.bmp"), test::EncodeBmp(indices)},
      {FileName(stem, 2, "-16.tga"), test::EncodeTrueColorTga(24, 8, 4, Bands(8, 4, 0x203040), 0x20)},
      {FileName(stem, 3, "-32.tga"),
       test::EncodeTrueColorTga(32, 6, 6, Bands(6, 6, 0x40102030), 0x20)},
      {FileName(stem, 4, ".gif"), kTinyGif},
  };
}

}  // namespace quillon::example
