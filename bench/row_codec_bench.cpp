// PackRow against libtiff's PackBits encoder on the same rows: flat, photographic and noisy.
// The two formats differ only in the header 0x80 (129 copies for us, a no-op for TIFF), which
// changes nothing in the work done. libtiff is driven through its public strip API on an
// in-memory file, one strip holding every row, so that its per-call set-up is spread thin. The
// run ends with how many times faster PackRow is for each kind of row.
#include <benchmark/benchmark.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bench/ratio_reporter.h"
#include "builders/row_codec.h"

namespace {

constexpr uint32_t kRowLength = 4096;
constexpr uint32_t kRows = 256;

enum RowKind { kFlat, kPhotographic, kNoisy };

std::vector<uint8_t> MakeRows(RowKind kind) {
  std::vector<uint8_t> rows(size_t{kRowLength} * kRows);
  std::mt19937 random(7);
  int level = 128;
  for (uint8_t& byte : rows) {
    switch (kind) {
      case kFlat:
        byte = 0x40;
        break;
      case kPhotographic:
        // A slow random walk: runs of equal neighbours among small steps.
        level = std::clamp(level + static_cast<int>(random() % 5) - 2, 0, 255);
        byte = static_cast<uint8_t>(level);
        break;
      case kNoisy:
        byte = static_cast<uint8_t>(random());
        break;
    }
  }
  return rows;
}

void BM_PackRow(benchmark::State& state) {
  const std::vector<uint8_t> rows = MakeRows(static_cast<RowKind>(state.range(0)));
  std::vector<uint8_t> packed(quillon::PackedRowBound(kRowLength) * kRows);
  for (auto _ : state) {
    size_t n = 0;
    for (uint32_t y = 0; y < kRows; ++y) {
      n += quillon::PackRow(rows.data() + size_t{y} * kRowLength, packed.data() + n, kRowLength);
    }
    benchmark::DoNotOptimize(n);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRowLength * kRows);
}

// A growing in-memory file for TIFFClientOpen.
struct MemoryFile {
  std::vector<uint8_t> bytes;
  toff_t position = 0;
};

tsize_t MemoryRead(thandle_t, tdata_t, tsize_t) { return 0; }
tsize_t MemoryWrite(thandle_t handle, tdata_t data, tsize_t size) {
  auto* file = static_cast<MemoryFile*>(handle);
  const size_t end = static_cast<size_t>(file->position) + static_cast<size_t>(size);
  if (end > file->bytes.size()) file->bytes.resize(end);
  std::memcpy(file->bytes.data() + file->position, data, static_cast<size_t>(size));
  file->position = end;
  return size;
}
toff_t MemorySeek(thandle_t handle, toff_t offset, int whence) {
  auto* file = static_cast<MemoryFile*>(handle);
  if (whence == SEEK_CUR) offset += file->position;
  if (whence == SEEK_END) offset += file->bytes.size();
  file->position = offset;
  return offset;
}
int MemoryClose(thandle_t) { return 0; }
toff_t MemorySize(thandle_t handle) { return static_cast<MemoryFile*>(handle)->bytes.size(); }
int MemoryMap(thandle_t, tdata_t*, toff_t*) { return 0; }
void MemoryUnmap(thandle_t, tdata_t, toff_t) {}

void BM_TiffPackBits(benchmark::State& state) {
  std::vector<uint8_t> rows = MakeRows(static_cast<RowKind>(state.range(0)));
  MemoryFile file;
  file.bytes.reserve(rows.size() * 2);
  for (auto _ : state) {
    file.bytes.clear();
    file.position = 0;
    TIFF* tiff = TIFFClientOpen("memory", "w", &file, MemoryRead, MemoryWrite, MemorySeek,
                                MemoryClose, MemorySize, MemoryMap, MemoryUnmap);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, kRowLength);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, kRows);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, kRows);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
    const tsize_t written = TIFFWriteEncodedStrip(tiff, 0, rows.data(),
                                                  static_cast<tsize_t>(rows.size()));
    TIFFClose(tiff);
    if (written < 0) state.SkipWithError("TIFFWriteEncodedStrip failed");
    benchmark::DoNotOptimize(file.bytes.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kRowLength * kRows);
}

void RowKinds(benchmark::internal::Benchmark* bench) {
  bench->ArgName("flat0_photo1_noisy2")->Arg(kFlat)->Arg(kPhotographic)->Arg(kNoisy);
}

}  // namespace

BENCHMARK(BM_PackRow)->Apply(RowKinds);
BENCHMARK(BM_TiffPackBits)->Apply(RowKinds);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  quillon::bench::RatioReporter reporter;
  const std::pair<const char*, const char*> goals[] = {
      {"flat", "at least 5"}, {"photographic", "at least 2"}, {"noisy", "at least 5"}};
  for (int kind = kFlat; kind <= kNoisy; ++kind) {
    const std::string rows = "/flat0_photo1_noisy2:" + std::to_string(kind);
    reporter.AddSpeedup(std::string(goals[kind].first) + " rows: libtiff / PackRow",
                        "BM_PackRow" + rows, "BM_TiffPackBits" + rows, goals[kind].second);
  }
  benchmark::RunSpecifiedBenchmarks(&reporter);
  return 0;
}
