#include "driver/run_output.h"

#include <cstdio>

#include "util/report.h"

namespace quillon {

ConsoleOutput::ConsoleOutput() : shows_progress_(StandardOutputIsConsole()) {}

void ConsoleOutput::Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
}

void ConsoleOutput::Tell(ConsoleColor color, const std::string& text) {
  ClearProgressLine();
  PrintInColor(color, text.c_str());
}

void ConsoleOutput::Fatal(const std::string& text) { PrintInColor(kColorRed, text.c_str()); }

void ConsoleOutput::Progress(const std::string& path) {
  if (shows_progress_) ShowProgress(path);
}

void ConsoleOutput::ClearProgress() { ClearProgressLine(); }

}  // namespace quillon
