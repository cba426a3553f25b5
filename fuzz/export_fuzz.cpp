// The export over arbitrary movies: every member decoded, every file named and written into a
// fresh folder, the manifest included; texts in a single-byte or a double-byte code page by the
// input's length.
#include <cstdint>
#include <vector>

#include "container/movie.h"
#include "driver/export.h"
#include "driver/export_writer.h"
#include "tests/support/scratch_dir.h"
#include "util/code_page.h"
#include "util/reporter.h"

namespace {

quillon::CodePage& CodePageFor(size_t size) {
  static quillon::CodePage western;
  static quillon::CodePage japanese;
  static const bool opened = western.Open(1252) && japanese.Open(932);
  (void)opened;
  return size % 2 == 0 ? western : japanese;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> view(data, data + size);
  if (!quillon::CheckContainer(view.data(), view.size())) return 0;
  const quillon::MovieView movie(view.data(), view.size());
  const quillon::test::ScratchDir files;
  quillon::SilentReportSink silent;
  quillon::Reporter report(silent);
  quillon::ExportWriter writer(files.path(), "fuzz", "", report);
  quillon::MediaSettings settings;
  settings.code_page = &CodePageFor(size);
  quillon::ExportMovie(movie, writer, settings);
  return 0;
}
