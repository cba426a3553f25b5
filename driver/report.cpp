#include "driver/report.h"

#include <cstdarg>
#include <cstdlib>

#include "util/console.h"

namespace quillon {

namespace {

constexpr size_t kShortPathLimit = 64;
constexpr size_t kHeadLength = 29;
constexpr size_t kTailLength = 32;

bool g_assertion_reported = false;

}  // namespace

void ShowProgress(const std::string& path) {
  std::printf("\r%78s\r", "");
  if (path.size() < kShortPathLimit) {
    std::printf("Processing %s...\r", path.c_str());
  } else {
    std::printf("Processing %s...%s...\r", path.substr(0, kHeadLength).c_str(),
                path.substr(path.size() - kTailLength).c_str());
  }
}

void CheckAssertion(bool condition) {
  if (condition || g_assertion_reported) return;
  std::printf("Error in assertion!!!\n");
  g_assertion_reported = true;
}

void FatalError(const char* format, const std::string& argument) {
  FatalError(format, argument.c_str());
}

void FatalError(const char* format, const char* argument) {
  SetConsoleColor(kColorRed);
  std::printf(format, argument);
  SetConsoleColor(kColorNormal);
  std::exit(1);
}

Log::~Log() {
  if (stream_ != nullptr) std::fclose(stream_);
}

std::FILE* Log::OpenFile(const std::string& path) { return std::fopen(path.c_str(), "wt"); }

void Log::Write(const char* format, ...) {
  if (stream_ == nullptr) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stream_, format, arguments);
  va_end(arguments);
}

void Log::Flush() {
  if (stream_ != nullptr) std::fflush(stream_);
}

}  // namespace quillon
