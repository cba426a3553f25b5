#pragma once
// The export: every member and chunk of a movie written into a folder under the names and in
// the forms the run reads back, with a manifest "<stem>.csv" of what each file is.

#include <cstdint>
#include <map>
#include <string>

#include "builders/media_settings.h"

namespace quillon {

class ExportWriter;
class MovieView;

struct ExportCounts {
  // Rows with a file, by the kind column: files written, and files FilesDir held already.
  std::map<std::string, uint32_t> files;
  uint32_t passed_over = 0;  // rows without a file
  uint32_t kept = 0;         // files kept because they differ from the movie
};

// The export's steps in order: cast media first, then every other live chunk raw, then the
// manifest. Stops at the first file that cannot be written (writer.failed()).
ExportCounts ExportMovie(const MovieView& movie, ExportWriter& writer,
                         const MediaSettings& settings);

// The closing line: "Exported 3 bitmaps, 1 alpha channels, 0 GIF media, 2 texts and 9 chunks into
// <files_dir>; 0 passed over (see <stem>.csv).\n", a count for every kind, and ", 2 kept" after
// "passed over" when files were kept.
std::string DescribeExport(const ExportCounts& counts, const std::string& files_dir,
                           const std::string& stem);

// `quillon-export [--codepage=N] [--overwrite] InFile FilesDir`: the export's exit code, 0 when
// every file was written, 1 for a wrong argument count or after a fatal message.
int RunExport(int argc, char** argv);

}  // namespace quillon
