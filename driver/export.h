#pragma once
// The export: every member and chunk of a movie written into a folder under the names and in
// the forms the run reads back, with a manifest "<stem>.csv" of what each file is.

#include <cstdint>

namespace quillon {

class ExportWriter;
class MovieView;

struct ExportCounts {
  uint32_t bitmaps = 0;
  uint32_t alphas = 0;
  uint32_t gifs = 0;
  uint32_t chunks = 0;
  uint32_t passed_over = 0;  // rows without a file
};

// Cast media first, then every other live chunk raw, then the manifest. Stops at the first
// file that cannot be written (writer.failed()).
ExportCounts ExportMovie(const MovieView& movie, ExportWriter& writer);

// `quillon-export InFile FilesDir`: the export's exit code, 0 when every file was written, 1 for
// a wrong argument count or after a fatal message.
int RunExport(int argc, char** argv);

}  // namespace quillon
