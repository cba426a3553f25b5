#include "driver/input_movie.h"

#include <cstdio>

#include "driver/report.h"
#include "util/file_map.h"
#include "util/paths.h"

namespace quillon {

InputNames NameInput(const std::string& in_file) {
  InputNames names;
  names.in_file = in_file;
  names.stored_path = GetStoredPath(in_file);
  names.file_name = GetFileName(names.stored_path);
  names.stem = StripExtension(names.file_name);
  return names;
}

MovieView MapCheckedMovie(const InputNames& names) {
  const FileMapping mapping = MapFileCopyOnWrite(names.stored_path);
  if (!mapping.valid()) FatalError("Cannot Open File %s!!!", names.in_file);
  if (!CheckContainer(mapping.view, mapping.size)) {
    FatalError("Unknown file format %s!!!\n", names.in_file);
  }
  // The view stays mapped until the process ends; its file stays open for the write pass.
  return MovieView(mapping);
}

void PrintInColor(ConsoleColor color, const char* text) {
  SetConsoleColor(color);
  std::fputs(text, stdout);
  SetConsoleColor(kColorNormal);
}

}  // namespace quillon
