#include "util/report.h"

#include <atomic>
#include <cstdarg>

namespace quillon {

namespace {

constexpr size_t kShortPathLimit = 64;
constexpr size_t kHeadLength = 29;
constexpr size_t kTailLength = 32;

// Once per process, whichever of a batch's threads meets it first.
std::atomic<bool> g_assertion_reported{false};

void PrintInColorV(ConsoleColor color, const char* format, va_list arguments) {
  SetConsoleColor(color);
  std::vprintf(format, arguments);
  SetConsoleColor(kColorNormal);
}

}  // namespace

void ClearProgressLine() {
  // Off a console there is no progress line to clear.
  if (!StandardOutputIsConsole()) return;
  // "\r%78s\r" with an empty string: the previous line blanked out.
  static const std::string kBlankLine = "\r" + std::string(78, ' ') + "\r";
  std::fwrite(kBlankLine.data(), 1, kBlankLine.size(), stdout);
}

// Written piece by piece rather than through printf: a run shows one line per entry, tens of
// thousands in a large movie, and formatting them was most of the run's own time.
void ShowProgress(const std::string& path) {
  ClearProgressLine();
  std::fputs("Processing ", stdout);
  if (path.size() < kShortPathLimit) {
    std::fwrite(path.data(), 1, path.size(), stdout);
  } else {
    std::fwrite(path.data(), 1, kHeadLength, stdout);
    std::fputs("...", stdout);
    std::fwrite(path.data() + path.size() - kTailLength, 1, kTailLength, stdout);
  }
  std::fputs("...\r", stdout);
}

void CheckAssertion(bool condition) {
  if (condition || g_assertion_reported.exchange(true)) return;
  std::printf("Error in assertion!!!\n");
}

void PrintInColor(ConsoleColor color, const char* text) {
  SetConsoleColor(color);
  std::fputs(text, stdout);
  SetConsoleColor(kColorNormal);
}

void PrintFatal(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  PrintInColorV(kColorRed, format, arguments);
  va_end(arguments);
}

}  // namespace quillon
