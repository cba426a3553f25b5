#pragma once
// What every import step works with: where replacement files are found, and where new chunks
// and log lines go.

#include <cstdint>
#include <string>

#include "container/replacement_table.h"
#include "util/byte_reader.h"
#include "util/report.h"

namespace quillon {

class CastTables;
class CodePage;

struct BuildContext {
  std::string files_dir;
  std::string stem;
  ReplacementTable& table;
  Log& log;
  // The run's cast tables, where palette members are looked up; without them only built-in
  // palettes resolve.
  const CastTables* tables = nullptr;
  // The replacement file the step at work showed last, for the log line of a step that runs out
  // of memory; the cast pass clears it before each step.
  mutable std::string shown_file;
  // The code page that text files are written in; without one they are not looked for.
  CodePage* code_page = nullptr;

  // The byte order of the chunks the steps make: the movie's.
  ByteOrder order() const;
  // "<files_dir>/<stem>-<cast number %06u><suffix>", e.g. suffix "-8.bmp".
  std::string MemberFile(uint32_t cast_number, const char* suffix) const;
  // Shows the file about to be looked for as the progress line.
  void ShowFile(const std::string& path) const;
  // The log line for a replacement file that exists but cannot be used, with why.
  void LogUnusableFile(const std::string& path, const char* reason) const;
  // Stores the chunk a step built for `child`. A chunk it displaces is logged with `collision`,
  // the step's own word for it ("Frames collision 2!").
  void StoreChunk(uint32_t child, Chunk chunk, const char* collision) const;
};

}  // namespace quillon
