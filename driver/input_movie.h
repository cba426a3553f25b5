#pragma once
// What every program of the tool does with its input movie: the names derived from it, the
// mapping and the container check, with the programs' fatal messages.

#include <string>

#include "container/movie.h"

namespace quillon {

class RunOutput;

struct InputNames {
  std::string in_file;      // as typed, for messages
  std::string stored_path;  // the input with its name as the folder stores it
  std::string file_name;    // the input's name as the folder stores it
  std::string stem;
};

InputNames NameInput(const std::string& in_file);

// The input's view, released when the run ends: a folder's movies run one after another in one
// process.
struct MappedMovie {
  MappedMovie() = default;
  ~MappedMovie();
  MappedMovie(const MappedMovie&) = delete;
  MappedMovie& operator=(const MappedMovie&) = delete;
  MovieView view;
};

// The stored path is what a file system that ignores letter case would open for the name as
// typed; messages still show the name as typed. On false "Cannot Open File %s: %s!!!\n" (with
// why), "Unknown file format %s!!!\n" or one of the "Cannot read %s: ..." messages has been
// given to `output` and the run ends with exit code 1.
bool MapCheckedMovie(const InputNames& names, MovieView& movie, RunOutput& output);

// What every program sets up before it prints anything: how writes past the file-size limit and
// redirected output behave, and the console warning for refused pixel accesses.
void PrepareProcess();

// The first line every program prints.
void PrintBanner();

}  // namespace quillon
