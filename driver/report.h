#pragma once
// What the run tells its user: the progress line, the once-per-run assertion warning, the
// fatal-error sequence on the console, and the log file of the run.

#include <cstdio>
#include <string>

namespace quillon {

// Blanks the current console line and shows "Processing <path>..." on it, shortening long paths
// to their first 29 and last 32 characters. The cursor stays at the start of the line.
void ShowProgress(const std::string& path);

// Prints "Error in assertion!!!\n" the first time it is called with false in this process.
void CheckAssertion(bool condition);

// Red message formatted with one text argument, normal colour again, exit code 1. Open streams
// (the log among them) are flushed and closed by the process exit.
[[noreturn]] void FatalError(const char* format, const std::string& argument);
// The same without a string to allocate, for when memory has run out.
[[noreturn]] void FatalError(const char* format, const char* argument);

// The run's log: one formatted write per log line. Flushed only when asked and at exit.
class Log {
 public:
  // Takes ownership of an open stream; null makes a log that writes nothing.
  explicit Log(std::FILE* stream) : stream_(stream) {}
  ~Log();
  Log(const Log&) = delete;
  Log& operator=(const Log&) = delete;

  // Creates or empties the file; null when it cannot be created.
  static std::FILE* OpenFile(const std::string& path);

  void Write(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void Flush();

 private:
  std::FILE* stream_;
};

}  // namespace quillon
