#pragma once
// What the programs tell their user: the progress line, the once-per-run assertion warning,
// coloured messages and fatal messages on the console, and the log file of a run.

#include <cstdint>
#include <cstdio>
#include <string>

#include "util/console.h"

#if defined(__GNUC__)
#define QUILLON_PRINTF(format_index, first_argument) \
  __attribute__((format(printf, format_index, first_argument)))
#else
#define QUILLON_PRINTF(format_index, first_argument)
#endif

namespace quillon {

// Blanks the current console line, leaving the cursor at its start.
void ClearProgressLine();

// Blanks the current console line and shows "Processing <path>..." on it, shortening long paths
// to their first 29 and last 32 characters. The cursor stays at the start of the line.
void ShowProgress(const std::string& path);

// Prints "Error in assertion!!!\n" the first time it is called with false in this process.
void CheckAssertion(bool condition);

// The text in `color`, then the normal colour again.
void PrintInColor(ConsoleColor color, const char* text);

// A fatal message: red, formatted, then the normal colour again. The caller ends the program
// with exit code 1.
void PrintFatal(const char* format, ...) QUILLON_PRINTF(1, 2);

// The run's log: one formatted write per log line. Flushed only when asked and when closed.
// Lines that refuse a replacement file are also shown on the console, and counted, so that a
// run that could not use a file never looks like one that did.
class Log {
 public:
  // Takes ownership of an open stream; null makes a log that writes nothing.
  explicit Log(std::FILE* stream) : stream_(stream) {}
  ~Log();
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  // Creates or empties the file; null when it cannot be created.
  static std::FILE* OpenFile(const std::string& path);

  void Write(const char* format, ...) QUILLON_PRINTF(2, 3);
  // A refusal line: written to the log, and on the console over the progress line (cleared as
  // ShowProgress clears it) in the fatal-error colour.
  void WriteRefusal(const char* format, ...) QUILLON_PRINTF(2, 3);
  // The refusal lines written so far.
  uint32_t refusal_count() const { return refusal_count_; }
  void Flush();

 private:
  std::FILE* stream_;
  uint32_t refusal_count_ = 0;
};

}  // namespace quillon
