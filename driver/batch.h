#pragma once
// A folder given as InFile: every movie in it and its subfolders run as a single run would, a
// few at a time in threads, with one line per movie in the folder's order and a report for
// scripts.

#include <string>
#include <vector>

#include "driver/captured_output.h"
#include "driver/command_line.h"
#include "driver/movie_folder.h"
#include "driver/program.h"

namespace quillon {

// How a program's work over a folder is told.
struct BatchShape {
  const char* ok_line;  // "OK    %s: ..." with the three counts
  const char* count_names[3];  // the counts' names in the report
  bool writes_movies;  // the rebuild: output movies and logs under OutDir
};

// One movie of the folder and the single run's line for it.
struct MovieJob {
  FolderMovie movie;
  CommandLine line;
  std::string output;  // the output movie, or the export's files folder
};

// InFolder/<relative> with its files under FilesRoot/<relative>/ and, for the rebuild, its output
// and log in OutDir/<relative's folder>/.
MovieJob MakeMovieJob(const CommandLine& line, const BatchShape& shape, const FolderMovie& movie);

// The exit code: 1 when a movie failed or the batch could not start, else 0.
int RunBatch(const CommandLine& line, const BatchShape& shape, ProgramWork work);

}  // namespace quillon
