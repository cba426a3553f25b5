// Loading large replacement images: CDib against stb_image on the same 4096 x 4096 files, a
// 32-bit TGA stored top row first and an 8-bit BMP. The run ends with CDib's time as a ratio
// to stb_image's for each file, after checking that both read the same pixels.
#include <benchmark/benchmark.h>
#include <stb/stb_image.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/ratio_reporter.h"
#include "image/dib.h"

namespace {

namespace fs = std::filesystem;
using quillon::CDib;

constexpr int32_t kSide = 4096;

struct Files {
  fs::path folder;
  std::string tga, bmp;
};

uint8_t PatternByte(size_t i) { return static_cast<uint8_t>((i * 2654435761u) >> 13); }

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
    std::abort();
  }
  std::fclose(file);
}

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

std::vector<uint8_t> MakeTga32() {
  std::vector<uint8_t> file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  PutLe(file, kSide, 2);
  PutLe(file, kSide, 2);
  file.push_back(32);
  file.push_back(0x28);
  const size_t pixels = size_t{kSide} * kSide * 4;
  for (size_t i = 0; i < pixels; ++i) file.push_back(PatternByte(i));
  return file;
}

std::vector<uint8_t> MakeBmp8() {
  const uint32_t off_bits = 54 + 1024;
  const uint32_t pixels = uint32_t{kSide} * kSide;
  std::vector<uint8_t> file = {'B', 'M'};
  PutLe(file, off_bits + pixels, 4);
  PutLe(file, 0, 4);
  PutLe(file, off_bits, 4);
  for (uint32_t field : {40u, uint32_t{kSide}, uint32_t{kSide}}) PutLe(file, field, 4);
  PutLe(file, 1, 2);
  PutLe(file, 8, 2);
  for (uint32_t field : {0u, pixels, 0u, 0u, 256u, 256u}) PutLe(file, field, 4);
  for (uint32_t i = 0; i < 256; ++i) PutLe(file, i * 0x010307u & 0xFFFFFFu, 4);
  for (size_t i = 0; i < pixels; ++i) file.push_back(PatternByte(i));
  return file;
}

const Files& TheFiles() {
  static const Files files = [] {
    Files f;
    f.folder = fs::temp_directory_path() /
               ("quillon-image-bench-" + std::to_string(std::random_device()()));
    fs::create_directories(f.folder);
    f.tga = (f.folder / "large32.tga").string();
    f.bmp = (f.folder / "large8.bmp").string();
    WriteFile(f.tga, MakeTga32());
    WriteFile(f.bmp, MakeBmp8());
    return f;
  }();
  return files;
}

// The pixel as a colour: looked up in the table of the 8-bit picture.
uint32_t ColorOf(const CDib& dib, int32_t x, int32_t y) {
  const uint32_t pixel = dib.GetPixel(x, y);
  return dib.GetBitCount() == 8 ? dib.GetColorTableEntry(pixel) : pixel;
}

// Both readers must see the same picture, or the timing compares different work.
bool SamePixels(const CDib& dib, const uint8_t* reference, int channels) {
  for (int32_t y = 0; y < dib.GetHeight(); ++y) {
    for (int32_t x = 0; x < dib.GetWidth(); ++x) {
      const uint8_t* rgb =
          reference +
          static_cast<size_t>(channels) * (static_cast<size_t>(y) * kSide + static_cast<size_t>(x));
      const uint32_t color = ColorOf(dib, x, y);
      const uint32_t expected = static_cast<uint32_t>(rgb[0]) << 16 |
                                static_cast<uint32_t>(rgb[1]) << 8 | rgb[2] |
                                (channels == 4 ? static_cast<uint32_t>(rgb[3]) << 24 : 0);
      if (color != expected) return false;
    }
  }
  return true;
}

void CheckSamePixels(const std::string& path, bool tga) {
  CDib dib;
  const bool loaded = tga ? dib.LoadTga(path.c_str()) : dib.LoadBmp(path.c_str());
  int width = 0, height = 0, channels = 0;
  uint8_t* reference = stbi_load(path.c_str(), &width, &height, &channels, 0);
  if (!loaded || reference == nullptr || !SamePixels(dib, reference, channels)) {
    std::fprintf(stderr, "%s: CDib and stb_image disagree\n", path.c_str());
    std::exit(1);
  }
  stbi_image_free(reference);
}

void LoadWithDib(benchmark::State& state, bool tga) {
  const std::string& path = tga ? TheFiles().tga : TheFiles().bmp;
  for (auto _ : state) {
    CDib dib;
    const bool loaded = tga ? dib.LoadTga(path.c_str()) : dib.LoadBmp(path.c_str());
    if (!loaded) state.SkipWithError("CDib refused the file");
    benchmark::DoNotOptimize(dib.GetBits());
  }
}

void LoadWithStb(benchmark::State& state, bool tga) {
  const std::string& path = tga ? TheFiles().tga : TheFiles().bmp;
  for (auto _ : state) {
    int width = 0, height = 0, channels = 0;
    uint8_t* pixels = stbi_load(path.c_str(), &width, &height, &channels, 0);
    if (pixels == nullptr) state.SkipWithError("stb_image refused the file");
    benchmark::DoNotOptimize(pixels);
    stbi_image_free(pixels);
  }
}

BENCHMARK_CAPTURE(LoadWithDib, Tga32, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadWithStb, Tga32, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadWithDib, Bmp8, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(LoadWithStb, Bmp8, false)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  CheckSamePixels(TheFiles().tga, true);
  CheckSamePixels(TheFiles().bmp, false);
  quillon::bench::RatioReporter reporter;
  // The TGA's bytes go into the image in one copy from the file's pages; stb_image reads them
  // into its buffer and swaps red and blue there.
  const std::pair<const char*, const char*> goals[] = {{"Tga32", "at most 0.8"},
                                                        {"Bmp8", "at most 0.05"}};
  for (const auto& [what, goal] : goals) {
    reporter.AddRatio(std::string(what) + ": CDib / stb_image", std::string("LoadWithDib/") + what,
                      std::string("LoadWithStb/") + what, goal);
  }
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::error_code ignored;
  fs::remove_all(TheFiles().folder, ignored);
  return 0;
}
