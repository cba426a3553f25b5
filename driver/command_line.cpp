#include "driver/command_line.h"

#include "util/code_page.h"

namespace quillon {

namespace {

constexpr char kOptionStart[] = "--";
constexpr char kCodePagePrefix[] = "--codepage=";
constexpr char kJobsPrefix[] = "--jobs=";
constexpr char kReportPrefix[] = "--report=";
constexpr size_t kMaxCodePageDigits = 5;

// A number in decimal digits alone, short enough for any code page.
bool ParseCodePageNumber(const std::string& text, uint32_t& number) {
  if (text.empty() || text.size() > kMaxCodePageDigits) return false;
  number = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + static_cast<uint32_t>(c - '0');
  }
  return true;
}

// Takes `argument` as an option when it is one; false when it is not.
bool TakeOption(const std::string& argument, bool overwrite_option, CommandLine& line) {
  if (argument.rfind(kCodePagePrefix, 0) == 0) {
    line.code_page = argument.substr(sizeof kCodePagePrefix - 1);
    line.code_page_given = true;
    return true;
  }
  if (argument.rfind(kJobsPrefix, 0) == 0) {
    line.jobs = argument.substr(sizeof kJobsPrefix - 1);
    return true;
  }
  if (argument.rfind(kReportPrefix, 0) == 0 && argument.size() > sizeof kReportPrefix - 1) {
    line.report = argument.substr(sizeof kReportPrefix - 1);
    return true;
  }
  if (overwrite_option && argument == "--overwrite") {
    line.overwrite = true;
    return true;
  }
  return false;
}

}  // namespace

CommandLine ParseCommandLine(int argc, char** argv, bool overwrite_option) {
  CommandLine line;
  if (argc == 2) {
    const std::string only = argv[1];
    line.help = only == "--help";
    line.version = only == "--version";
    if (line.help || line.version) return line;
  }
  int first = 1;
  while (first < argc && TakeOption(argv[first], overwrite_option, line)) ++first;
  line.arguments.assign(argv + first, argv + argc);
  for (const std::string& argument : line.arguments) {
    if (argument.rfind(kOptionStart, 0) == 0) {
      line.unknown_option = argument;
      break;
    }
  }
  return line;
}

bool OpenGivenCodePage(const CommandLine& line, CodePage& code_page) {
  uint32_t number = 0;
  return ParseCodePageNumber(line.code_page, number) && code_page.Open(number);
}

}  // namespace quillon
