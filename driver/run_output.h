#pragma once
// Where one run's own lines go: the console for a single run, a capture for each movie of a
// folder, whose threads must not print over one another.

#include <array>
#include <cstdint>
#include <string>

#include "util/console.h"

namespace quillon {

// What a run did, in the order its batch line names them: replaced, unchanged and refused files
// for the rebuild; files, rows passed over and files kept for the export.
using RunCounts = std::array<uint32_t, 3>;

class RunOutput {
 public:
  virtual ~RunOutput() = default;
  // Text in the normal colour, its line end included.
  virtual void Print(const std::string& text) = 0;
  // Text in `color` over the progress line, which it clears first.
  virtual void Tell(ConsoleColor color, const std::string& text) = 0;
  // The fatal message of a run that ends with exit code 1.
  virtual void Fatal(const std::string& text) = 0;
  // The replacement file about to be looked for.
  virtual void Progress(const std::string& path) = 0;
  virtual void ClearProgress() = 0;
  // What the run did, once it has done it.
  virtual void Counted(const RunCounts& counts) = 0;
};

// Standard output, as a single run has always printed.
class ConsoleOutput : public RunOutput {
 public:
  ConsoleOutput();

  void Print(const std::string& text) override;
  void Tell(ConsoleColor color, const std::string& text) override;
  void Fatal(const std::string& text) override;
  void Progress(const std::string& path) override;  // on a console only
  void ClearProgress() override;
  void Counted(const RunCounts&) override {}

 private:
  // Progress lines only on a console: in a file or a pipe they would be lines of carriage
  // returns.
  bool shows_progress_;
};

}  // namespace quillon
