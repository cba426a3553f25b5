#pragma once
// A report sink that keeps what it is given: the log as its file would hold it, and a
// transcript of the console (a progress line as "> <path>\n", the user's lines as they are).

#include <string>

#include "util/reporter.h"

namespace quillon::test {

class RecordingSink : public ReportSink {
 public:
  void Progress(const std::string& path) override { console += "> " + path + "\n"; }
  void LogLine(const std::string& text) override { log += text; }
  void Tell(ConsoleColor, const std::string& text) override { console += text; }

  std::string log;
  std::string console;
};

}  // namespace quillon::test
