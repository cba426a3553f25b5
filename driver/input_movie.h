#pragma once
// What every program of the tool does with its input movie: the names derived from it, the
// mapping and the container check, with the run's fatal messages.

#include <string>

#include "container/movie.h"
#include "util/console.h"

namespace quillon {

struct InputNames {
  std::string in_file;      // as typed, for messages
  std::string stored_path;  // the input with its name as the folder stores it
  std::string file_name;    // the input's name as the folder stores it
  std::string stem;
};

InputNames NameInput(const std::string& in_file);

// The stored path is what a file system that ignores letter case would open for the name as
// typed; messages still show the name as typed. Ends the process with "Cannot Open File %s!!!"
// or "Unknown file format %s!!!\n". The view stays mapped until the process ends.
MovieView MapCheckedMovie(const InputNames& names);

void PrintInColor(ConsoleColor color, const char* text);

}  // namespace quillon
