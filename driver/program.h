#pragma once
// What both programs do around their own work: the banner, the command line with --help and
// --version, the usage text for a wrong argument count, the code page, and the fatal message of
// a run that cannot get the memory it needs as a whole.

#include <cstddef>

#include "builders/media_settings.h"
#include "driver/command_line.h"
#include "util/code_page.h"

namespace quillon {

class MovieView;

struct ProgramShape {
  const char* syntax;  // the usage text's "Syntax: ..." line, line end included
  bool overwrite_option;
  size_t min_arguments;
  size_t max_arguments;
};

// The program's own work on a line with the right number of arguments; its exit code. The
// settings' code page is open when the line names one, else for the work to open by its movie
// (OpenMovieCodePage).
using ProgramWork = int (*)(const CommandLine& line, const MediaSettings& settings);

// The exit code: 0 after --help or --version, 1 after the usage text or a fatal message, else
// what `work` returns. A code page the line names is checked before `work` runs.
int RunProgram(int argc, char** argv, const ProgramShape& shape, ProgramWork work);

// Opens the code page of the movie's texts, unless the line named one (open already): 10000
// (Mac Roman) for a Mac movie, 1252 for a Windows one. False, with the fatal message printed,
// when the system cannot convert it.
bool OpenMovieCodePage(const CommandLine& line, const MovieView& movie, CodePage& code_page);

}  // namespace quillon
