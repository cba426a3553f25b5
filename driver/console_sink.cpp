#include "driver/console_sink.h"

#include "util/file_io.h"

namespace quillon {

ConsoleSink::~ConsoleSink() {
  if (log_ != nullptr) std::fclose(log_);
}

std::FILE* ConsoleSink::OpenLog(const std::string& path, FileError& error) {
  return CreateTextFile(path, error);
}

void ConsoleSink::LogLine(const std::string& text) {
  if (log_ != nullptr) std::fwrite(text.data(), 1, text.size(), log_);
}

void ConsoleSink::FlushLog() {
  if (log_ != nullptr) std::fflush(log_);
}

}  // namespace quillon
