#pragma once
// Where a run's words go: the progress line, the log and the lines the user must see. The
// program entry owns the sink (the console and the log file) and hands a Reporter down; tests
// and fuzz targets hand down a recording or a silent one.

#include <cstdint>
#include <string>

#include "util/console.h"
#include "util/printf_format.h"

namespace quillon {

class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // The replacement file about to be looked for.
  virtual void Progress(const std::string& path) = 0;
  // A line of the run's log, its line end included.
  virtual void LogLine(const std::string& text) = 0;
  // A line for the user, in `color`, its line end included.
  virtual void Tell(ConsoleColor color, const std::string& text) = 0;
  // What the log holds so far reaches its file.
  virtual void FlushLog() {}
};

// Drops everything.
class SilentReportSink : public ReportSink {
 public:
  void Progress(const std::string&) override {}
  void LogLine(const std::string&) override {}
  void Tell(ConsoleColor, const std::string&) override {}
};

// The one object a run reports through: log lines formatted once, refusals and unchanged files
// counted, so that a run that could not use a file, or found nothing new in it, never looks like
// one that did.
class Reporter {
 public:
  explicit Reporter(ReportSink& sink) : sink_(sink) {}

  void ShowProgress(const std::string& path) { sink_.Progress(path); }
  // A log line.
  void Write(const char* format, ...) QUILLON_PRINTF(2, 3);
  // A refusal line: written to the log and told to the user in the fatal-error colour.
  void WriteRefusal(const char* format, ...) QUILLON_PRINTF(2, 3);
  // A line for the log that the user must see too, in the warning colour; not a refusal.
  void WriteNotice(const char* format, ...) QUILLON_PRINTF(2, 3);
  // A line for the user only.
  void Tell(ConsoleColor color, const std::string& text) { sink_.Tell(color, text); }
  void Flush() { sink_.FlushLog(); }

  // A file gave back what the movie holds: no replacement.
  void CountUnchanged() { ++unchanged_count_; }

  // The refusal lines written so far.
  uint32_t refusal_count() const { return refusal_count_; }
  uint32_t unchanged_count() const { return unchanged_count_; }

 private:
  void WriteAndTell(ConsoleColor color, const std::string& line);

  ReportSink& sink_;
  uint32_t refusal_count_ = 0;
  uint32_t unchanged_count_ = 0;
};

// printf into a string.
std::string FormatText(const char* format, ...) QUILLON_PRINTF(1, 2);

}  // namespace quillon
