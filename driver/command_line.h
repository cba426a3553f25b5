#pragma once
// The command line of either program: options in front, then the positional arguments.
//   --codepage=N   the code page of the movie's text
//   --overwrite    (the export) files that differ from the movie are replaced, not kept
//   --jobs=N       (a folder of movies) how many run at a time
//   --report=FILE  (a folder of movies) a JSON Lines report, one object per movie
//   --help         (the only argument) the usage text
//   --version      (the only argument) the banner line alone

#include <string>
#include <vector>

namespace quillon {

class CodePage;

// The rebuild's OutDir when the line names none.
inline constexpr char kDefaultOutDir[] = "Out";

struct CommandLine {
  std::vector<std::string> arguments;  // the positional ones, as typed
  std::string code_page;               // as typed after "--codepage="; empty when not given
  bool code_page_given = false;
  bool overwrite = false;
  std::string jobs;    // as typed after "--jobs="; empty: one per processor
  std::string report;  // the path after "--report="; empty: no report
  // Not typed: the batch sets it for a movie whose stem another one in its folder shares, so
  // that their logs stay apart.
  bool log_by_file_name = false;
  bool help = false;
  bool version = false;
  // The first argument that starts with "--" and is not taken as an option: one after the file
  // names, "--codepage" without "=", a misspelled one. Empty when there is none.
  std::string unknown_option;
};

// Leading arguments that name an option are taken as options, the first other one and all
// after it as positional arguments; `overwrite_option` says whether "--overwrite" is one.
CommandLine ParseCommandLine(int argc, char** argv, bool overwrite_option);

// Opens the code page the line names; false when it names no code page the tool offers or the
// system cannot convert it.
bool OpenGivenCodePage(const CommandLine& line, CodePage& code_page);

}  // namespace quillon
