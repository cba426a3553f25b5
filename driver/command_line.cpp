#include "driver/command_line.h"

namespace quillon {

namespace {

constexpr char kCodePagePrefix[] = "--codepage=";

// Takes `argument` as an option when it is one; false when it is not.
bool TakeOption(const std::string& argument, bool overwrite_option, CommandLine& line) {
  if (argument.rfind(kCodePagePrefix, 0) == 0) {
    line.code_page = argument.substr(sizeof kCodePagePrefix - 1);
    line.code_page_given = true;
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
  return line;
}

}  // namespace quillon
