#pragma once
// What every program of the tool does with its input movie: the names derived from it, the
// mapping and the container check, with the programs' fatal messages.

#include <string>

#include "container/movie.h"

namespace quillon {

struct InputNames {
  std::string in_file;      // as typed, for messages
  std::string stored_path;  // the input with its name as the folder stores it
  std::string file_name;    // the input's name as the folder stores it
  std::string stem;
};

InputNames NameInput(const std::string& in_file);

// The stored path is what a file system that ignores letter case would open for the name as
// typed; messages still show the name as typed. On false "Cannot Open File %s: %s!!!\n" (with
// why), "Unknown file format %s!!!\n" or one of the "Cannot read %s: ..." messages has been
// printed and the program ends with exit code 1. The view stays mapped until the process ends.
bool MapCheckedMovie(const InputNames& names, MovieView& movie);

// What every program sets up before it prints anything: how writes past the file-size limit and
// redirected output behave, and the console warning for refused pixel accesses.
void PrepareProcess();

// The first line every program prints.
void PrintBanner();

}  // namespace quillon
