#pragma once
// The programs' own report sink: the progress line and the user's lines on the console, the log
// lines in the run's log file.

#include <cstdio>
#include <string>

#include "util/console.h"
#include "util/file_error.h"
#include "util/reporter.h"

namespace quillon {

class ConsoleSink : public ReportSink {
 public:
  // Takes ownership of an open log stream; null writes no log.
  explicit ConsoleSink(std::FILE* log) : log_(log), shows_progress_(StandardOutputIsConsole()) {}
  ~ConsoleSink() override;
  ConsoleSink(const ConsoleSink&) = delete;
  ConsoleSink& operator=(const ConsoleSink&) = delete;

  // Creates or empties the log file (text mode); null, with why, when it cannot be created.
  static std::FILE* OpenLog(const std::string& path, FileError& error);

  void Progress(const std::string& path) override;  // on a console only
  void LogLine(const std::string& text) override;
  // Over the progress line, which it clears first.
  void Tell(ConsoleColor color, const std::string& text) override;
  void FlushLog() override;

 private:
  std::FILE* log_;
  // Progress lines only on a console: in a file or a pipe they would be lines of carriage
  // returns.
  bool shows_progress_;
};

}  // namespace quillon
