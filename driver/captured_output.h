#pragma once
// One movie's run within a folder's: what the batch line and the report need kept, the rest of
// what a single run would print dropped.

#include <string>
#include <vector>

#include "driver/run_output.h"

namespace quillon {

struct MovieOutcome {
  int exit_code = 1;
  RunCounts counts{};
  // The fatal message without its line end; empty when the run could not even keep it.
  std::string message;
  std::vector<std::string> refusals;  // the refusal lines, without their line ends
};

class CapturedOutput : public RunOutput {
 public:
  void Print(const std::string&) override {}
  // Keeps the refusals, which are told in the fatal-error colour.
  void Tell(ConsoleColor color, const std::string& text) override;
  void Fatal(const std::string& text) override;
  void Progress(const std::string&) override {}
  void ClearProgress() override {}
  void Counted(const RunCounts& counts) override { outcome_.counts = counts; }

  MovieOutcome& outcome() { return outcome_; }

 private:
  MovieOutcome outcome_;
};

}  // namespace quillon
