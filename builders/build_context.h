#pragma once
// What every cast media builder works with: where replacement files are found, and where new
// chunks and log lines go.

#include <cstdint>
#include <string>

#include "container/replacement_table.h"
#include "util/report.h"

namespace quillon {

class MovieView;

struct BuildContext {
  std::string files_dir;
  std::string stem;
  ReplacementTable& table;
  Log& log;
  // Where palette members are looked up; without a movie only built-in palettes resolve.
  const MovieView* movie = nullptr;

  // "<files_dir>/<stem>-<cast number %06u><suffix>", e.g. suffix "-8.bmp".
  std::string MemberFile(uint32_t cast_number, const char* suffix) const;
  // The log line for a replacement file that exists but cannot be used, with why.
  void LogUnusableFile(const std::string& path, const char* reason) const;
};

}  // namespace quillon
