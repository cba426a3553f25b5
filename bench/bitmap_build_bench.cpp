// Rebuilding one 4096 x 4096 32-bit member from its TGA, end to end (cast pass, load, planes,
// packing, chunk), against loading the same TGA alone: the ratio printed at the end is what the
// build adds.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "builders/media_kinds.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "fixtures/image_writers.h"
#include "fixtures/movie_builder.h"
#include "image/dib.h"
#include "tests/support/scratch_dir.h"
#include "util/reporter.h"

namespace {

using quillon::test::Bytes;
using quillon::test::MovieBuilder;

constexpr uint16_t kSide = 4096;

// A slow random walk per channel, as photographs have.
std::vector<uint32_t> PhotographicPixels() {
  std::vector<uint32_t> pixels(size_t{kSide} * kSide);
  std::mt19937 random(3);
  int channel[4] = {255, 128, 128, 128};
  for (uint32_t& pixel : pixels) {
    pixel = 0;
    for (int c = 0; c < 4; ++c) {
      channel[c] = std::clamp(channel[c] + static_cast<int>(random() % 3) - 1, 0, 255);
      pixel = pixel << 8 | static_cast<uint32_t>(channel[c]);
    }
  }
  return pixels;
}

struct Fixture {
  quillon::test::ScratchDir files;
  std::string tga;
  Bytes movie;

  Fixture() {
    tga = files.WriteFile("big-000001-32.tga",
                          quillon::test::EncodeTrueColorTga(32, kSide, kSide,
                                                            PhotographicPixels(), 0x20));
    MovieBuilder builder(8);
    quillon::test::BitmapMemberFields fields;
    fields.right = kSide;
    fields.bottom = kSide;
    fields.depth = 32;
    const uint32_t member = builder.AddChunk("tSAC", MovieBuilder::BitmapMember(fields));
    const uint32_t bitd = builder.AddChunk("DTIB", {0});
    builder.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
    builder.AddChunk("*YEK", MovieBuilder::KeyTable({{bitd, member, "DTIB"}}));
    movie = builder.Build();
  }
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

void BM_Build32From4096Tga(benchmark::State& state) {
  Fixture& fixture = Shared();
  const quillon::MovieView movie(fixture.movie.data(), fixture.movie.size());
  for (auto _ : state) {
    quillon::ReplacementTable table(movie.UsedCount());
    quillon::SilentReportSink silent;
    quillon::Reporter log(silent);
    const quillon::CastTables tables(movie);
    quillon::ImportCastMedia({fixture.files.path(), "big", table, log, &tables, {}});
    if (table.Get(4) == nullptr) state.SkipWithError("no chunk built");
  }
}

void BM_LoadTgaAlone(benchmark::State& state) {
  Fixture& fixture = Shared();
  for (auto _ : state) {
    quillon::CDib image;
    if (!image.LoadTga(fixture.tga.c_str())) state.SkipWithError("TGA did not load");
  }
}

}  // namespace

BENCHMARK(BM_Build32From4096Tga)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadTgaAlone)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  quillon::bench::RatioReporter reporter;
  reporter.AddRatio("Build / load alone", "BM_Build32From4096Tga/real_time",
                    "BM_LoadTgaAlone/real_time", "at most 1.5");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  return 0;
}
