#pragma once
// What every pass of the run works with: the movie and its cast tables, where replacement files
// are found, where new chunks go, what the user chose and where the run reports.

#include <cstdint>
#include <string>

#include "builders/media_settings.h"
#include "container/replacement_table.h"
#include "util/byte_reader.h"
#include "util/reporter.h"

namespace quillon {

class CastTables;
class MovieView;
class ReplacementFiles;
struct ImportedChunk;

struct BuildContext {
  std::string files_dir;
  std::string stem;
  ReplacementTable& table;
  Reporter& report;
  // The run's cast tables, over its movie; without them (a test of one builder) only built-in
  // palettes resolve and the passes that need the movie do nothing.
  const CastTables* tables = nullptr;
  MediaSettings settings;
  // Where the files the passes open are noted; without it (a test of one step) nothing is.
  ReplacementFiles* files = nullptr;

  // The movie the passes read; null without cast tables.
  const MovieView* movie() const;
  // The byte order of the chunks the steps make: the movie's.
  ByteOrder order() const;
  // "<files_dir>/<stem>-<cast number %06u><suffix>", e.g. suffix "-8.bmp".
  std::string MemberFile(uint32_t cast_number, const char* suffix) const;
  // When the file a pass is about to read may exist, shows it as the progress line and notes it
  // as read.
  void ShowFile(const std::string& path) const;
  // The same for an import step, which also names it in what it gives back.
  void ShowFile(const std::string& path, ImportedChunk& imported) const;
  // The log line for a replacement file that exists but cannot be used, with why.
  void LogUnusableFile(const std::string& path, const char* reason) const;
  // Stores the chunk a step built for `child`, unless the movie holds it already (counted as
  // unchanged). A chunk it displaces is logged with `collision`, the step's own word for it
  // ("Frames collision 2!").
  void StoreChunk(uint32_t child, Chunk chunk, const char* collision) const;
  // Whether the movie's chunk `index` is `chunk`, header and data.
  bool MovieHolds(uint32_t index, const Chunk& chunk) const;
};

}  // namespace quillon
