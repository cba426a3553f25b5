// Re-laying a movie of more than 512 MiB in 20,480 chunks with no replacements (map, check, raw
// pass over an empty folder, write pass), against a plain sequential copy of the same file in
// 1 MiB reads and writes. Goal: relay / copy at most 1.25.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "builders/raw_pass.h"
#include "container/cast_members.h"
#include "container/container_writer.h"
#include "util/byte_reader.h"
#include "util/file_map.h"
#include "util/reporter.h"

namespace {

namespace fs = std::filesystem;
using quillon::StoreU32Le;

constexpr uint32_t kChunks = 20480;
// Odd, so that each chunk is followed by the pad byte Director writes after it.
constexpr uint32_t kDataLength = 26 * 1024 + 1;
constexpr uint32_t kChunkStride = kDataLength + 8 + 1;
constexpr size_t kCopyBlock = 1 << 20;

struct Workspace {
  std::string folder = (fs::temp_directory_path() /
                        ("quillon-relay-bench-" + std::to_string(getpid()))).string();
  std::string movie = folder + "/Movie.dxr";
  std::string files = folder + "/files";
  std::string output = folder + "/out.dxr";

  Workspace() {
    fs::create_directories(files);
    WriteMovie();
  }
  ~Workspace() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }

  // Streamed to disk: the header region, then every chunk with its zero pad byte.
  void WriteMovie() const {
    const uint32_t capacity = kChunks + 3;
    const uint32_t header = 76 + 20 * capacity;
    const uint64_t total = header + uint64_t{kChunks} * kChunkStride;
    std::vector<uint8_t> region(header, 0);
    auto put_tag = [&](size_t at, const char* tag) { std::copy_n(tag, 4, &region[at]); };
    auto put_entry = [&](uint32_t i, const char* tag, uint32_t length, uint32_t offset,
                         uint32_t flags) {
      const size_t at = 76 + 20 * size_t{i};
      put_tag(at, tag);
      StoreU32Le(&region[at + 4], length);
      StoreU32Le(&region[at + 8], offset);
      StoreU32Le(&region[at + 12], flags);
    };
    put_tag(0, "XFIR");
    StoreU32Le(&region[4], static_cast<uint32_t>(total - 8));
    put_tag(8, "39VM");
    put_tag(12, "pami");
    StoreU32Le(&region[16], 24);
    put_tag(44, "pamm");
    StoreU32Le(&region[48], 24 + 20 * capacity);
    region[52] = 24;
    region[54] = 20;
    StoreU32Le(&region[56], capacity);
    StoreU32Le(&region[60], capacity);
    put_entry(0, "XFIR", static_cast<uint32_t>(total - 8), 0, 1);
    put_entry(1, "pami", 24, 12, 1);
    put_entry(2, "pamm", 24 + 20 * capacity, 44, 0);
    for (uint32_t i = 0; i < kChunks; ++i) {
      put_entry(i + 3, "DTIB", kDataLength, header + i * kChunkStride, 0);
    }
    std::FILE* out = std::fopen(movie.c_str(), "wb");
    std::fwrite(region.data(), 1, region.size(), out);
    std::vector<uint8_t> chunk(kChunkStride, 0x5A);
    std::copy_n("DTIB", 4, chunk.begin());
    chunk.back() = 0;
    StoreU32Le(chunk.data() + 4, kDataLength);
    for (uint32_t i = 0; i < kChunks; ++i) std::fwrite(chunk.data(), 1, chunk.size(), out);
    std::fclose(out);
  }
};

const Workspace& GetWorkspace() {
  static const Workspace workspace;
  return workspace;
}

void BM_SequentialCopy(benchmark::State& state) {
  const Workspace& w = GetWorkspace();
  std::vector<char> block(kCopyBlock);
  for (auto _ : state) {
    std::FILE* in = std::fopen(w.movie.c_str(), "rb");
    std::FILE* out = std::fopen(w.output.c_str(), "wb");
    for (size_t n; (n = std::fread(block.data(), 1, block.size(), in)) > 0;) {
      std::fwrite(block.data(), 1, n, out);
    }
    std::fclose(in);
    std::fclose(out);
  }
}

void BM_Relay(benchmark::State& state) {
  const Workspace& w = GetWorkspace();
  for (auto _ : state) {
    quillon::FileMapping mapping = quillon::MapFileCopyOnWrite(w.movie);
    if (!quillon::CheckContainer(mapping.view, mapping.size)) state.SkipWithError("check failed");
    quillon::MovieView movie(mapping);
    quillon::ReplacementTable table(movie.UsedCount());
    {
      quillon::SilentReportSink silent;
      quillon::Reporter report(silent);
      const quillon::CastTables tables(movie);
      quillon::RawPass({w.files, "Movie", table, report, &tables, {}});
    }
    if (quillon::WriteContainer(movie, table, w.output) != quillon::WriteStatus::kWritten) {
      state.SkipWithError("write failed");
    }
    quillon::UnmapFile(mapping);
  }
}

BENCHMARK(BM_SequentialCopy)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Relay)->Unit(benchmark::kMillisecond)->MinTime(3.0);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  quillon::bench::RatioReporter reporter;
  reporter.AddRatio("relay / sequential copy", "BM_Relay/min_time:3.000",
                    "BM_SequentialCopy/min_time:3.000", "at most 1.25");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
