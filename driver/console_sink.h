#pragma once
// The programs' own report sink: the progress line and the user's lines on the run's output, the
// log lines in the run's log file.

#include <cstdio>
#include <string>

#include "driver/run_output.h"
#include "util/file_error.h"
#include "util/reporter.h"

namespace quillon {

class ConsoleSink : public ReportSink {
 public:
  // Takes ownership of an open log stream; null writes no log.
  ConsoleSink(std::FILE* log, RunOutput& output) : log_(log), output_(output) {}
  ~ConsoleSink() override;
  ConsoleSink(const ConsoleSink&) = delete;
  ConsoleSink& operator=(const ConsoleSink&) = delete;

  // Creates or empties the log file (text mode); null, with why, when it cannot be created.
  static std::FILE* OpenLog(const std::string& path, FileError& error);

  void Progress(const std::string& path) override { output_.Progress(path); }
  void LogLine(const std::string& text) override;
  // Over the progress line, which it clears first.
  void Tell(ConsoleColor color, const std::string& text) override { output_.Tell(color, text); }
  void FlushLog() override;

 private:
  std::FILE* log_;
  RunOutput& output_;
};

}  // namespace quillon
