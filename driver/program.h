#pragma once
// What both programs do around their own work: the banner, the command line with --help and
// --version, the usage text for a wrong argument count, the code page, and the fatal message of
// a run that cannot get the memory it needs as a whole.

#include <cstddef>

#include "builders/media_settings.h"
#include "driver/command_line.h"
#include "driver/run_output.h"
#include "util/code_page.h"

namespace quillon {

class MovieView;
struct BatchShape;

struct ProgramShape {
  const char* syntax;  // the usage text's "Syntax: ..." line, line end included
  bool overwrite_option;
  size_t min_arguments;
  size_t max_arguments;
  const BatchShape& batch;  // the work over a folder of movies
};

// The program's own work on one movie, from a line with the right number of arguments; its exit
// code. The settings' code page is open when the line names one, else for the work to open by
// its movie (OpenMovieCodePage). Everything it prints goes to `output`.
using ProgramWork = int (*)(const CommandLine& line, const MediaSettings& settings,
                            RunOutput& output);

// The exit code: 0 after --help or --version, 1 after the usage text or a fatal message, else
// what `work` returns, or the batch over a folder given as InFile. A code page the line names is
// checked before `work` runs.
int RunProgram(int argc, char** argv, const ProgramShape& shape, ProgramWork work);

// `work` on the movie the line names, with a code page of its own; the fatal message of a run
// that cannot get the memory it needs as a whole.
int RunMovie(const CommandLine& line, ProgramWork work, RunOutput& output);

// Opens the code page of the movie's texts, unless the line named one (open already): 10000
// (Mac Roman) for a Mac movie, 1252 for a Windows one. False, with the fatal message given,
// when the system cannot convert it.
bool OpenMovieCodePage(const CommandLine& line, const MovieView& movie, CodePage& code_page,
                       RunOutput& output);

}  // namespace quillon
