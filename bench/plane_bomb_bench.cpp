// Both programs on the 350-byte plane bomb (ten slots naming a member whose rectangle claims a
// gigabyte, two packed bytes) against the same movie with a rectangle of 8 x 8. Goal: the bomb
// costs no more than the small movie, well under a second and a few MB (the peak resident
// memory of the programs run is printed after the times). The run finds no picture: one would
// make it write the member's rows, as long as its rectangle asks.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/ratio_reporter.h"
#include "fixtures/plane_bomb.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tool_run.h"

namespace {

const quillon::test::ScratchDir& Folder(bool bomb) {
  static quillon::test::ScratchDir folders[2];
  quillon::test::ScratchDir& dir = folders[bomb ? 1 : 0];
  if (!dir.Exists("m.dxr")) {
    dir.WriteFile("m.dxr", quillon::test::PlaneBombMovie(bomb ? quillon::test::kPlaneBombSide : 8));
  }
  return dir;
}

void Run(benchmark::State& state, const char* program, std::vector<std::string> args) {
  const quillon::test::ScratchDir& dir = Folder(state.range(0) != 0);
  for (auto _ : state) {
    if (quillon::test::RunProgram(program, dir.path(), args).exit_code != 0) {
      state.SkipWithError("the program failed");
    }
  }
}

void BM_Export(benchmark::State& state) {
  Run(state, QUILLON_EXPORT_EXE, {"--overwrite", "m.dxr", "x"});
}
void BM_Run(benchmark::State& state) { Run(state, QUILLON_EXE, {"m.dxr", "none", "Out"}); }

}  // namespace

BENCHMARK(BM_Export)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Run)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  quillon::bench::RatioReporter reporter;
  reporter.AddRatio("Export: bomb / small", "BM_Export/1/real_time", "BM_Export/0/real_time",
                    "at most 2");
  reporter.AddRatio("Run: bomb / small", "BM_Run/1/real_time", "BM_Run/0/real_time",
                    "at most 2");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  std::printf("Peak resident memory of the programs run: %ld KB\n", usage.ru_maxrss);
  return 0;
}
