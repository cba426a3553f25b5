#pragma once
// A console reporter that, after the usual report, prints the time of one benchmark as a ratio
// to a peer measured in the same run (or the peer's to it, for speed-ups), next to the goal.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace quillon::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Prints "<label> = time(ours) / time(peer) (goal: <goal>)" once the runs are reported;
  // names are the benchmarks' full names as the console report shows them.
  void AddRatio(std::string label, std::string ours, std::string peer, std::string goal) {
    ratios_.push_back({std::move(label), std::move(ours), std::move(peer), std::move(goal), false});
  }
  // Prints "<label> = time(peer) / time(ours) (goal: <goal>)": how many times faster ours is.
  void AddSpeedup(std::string label, std::string ours, std::string peer, std::string goal) {
    ratios_.push_back({std::move(label), std::move(ours), std::move(peer), std::move(goal), true});
  }

  // With --benchmark_repetitions the medians count, which a build running beside one of the two
  // benchmarks disturbs least.
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.iterations <= 0) continue;
      if (run.run_type == Run::RT_Iteration) {
        times_.emplace(run.benchmark_name(), run.GetAdjustedRealTime());
      } else if (run.aggregate_name == "median") {
        times_[run.run_name.str()] = run.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const Ratio& ratio : ratios_) {
      const auto ours = times_.find(ratio.ours);
      const auto peer = times_.find(ratio.peer);
      if (ours == times_.end() || peer == times_.end()) continue;
      const double value =
          ratio.speedup ? peer->second / ours->second : ours->second / peer->second;
      std::printf("%s = %.3f (goal: %s)\n", ratio.label.c_str(), value, ratio.goal.c_str());
    }
  }

 private:
  struct Ratio {
    std::string label, ours, peer, goal;
    bool speedup;
  };
  std::vector<Ratio> ratios_;
  std::map<std::string, double> times_;
};

}  // namespace quillon::bench
