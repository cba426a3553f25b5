// The cast pass and its builders over arbitrary movies, with a FilesDir holding a few small
// images, a GIF and a text for the first cast numbers, so that builds run to the end.
#include <cstdint>
#include <string>
#include <vector>

#include "builders/media_kinds.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "fixtures/image_writers.h"
#include "tests/support/scratch_dir.h"
#include "util/code_page.h"
#include "util/reporter.h"

namespace {

using quillon::test::EncodeBmp;
using quillon::test::EncodeTrueColorTga;

void WriteImages(const quillon::test::ScratchDir& files) {
  quillon::test::BmpLayout bmp;
  bmp.width = 3;
  bmp.height = 2;
  bmp.pixels = {1, 1, 2, 3, 3, 3};
  bmp.palette.assign(4, 0x808080);
  const std::vector<uint32_t> pixels = {0x80FF8040, 0, 0x12345678, 0x12345678};
  for (int cast_number = 1; cast_number <= 7; ++cast_number) {
    const std::string stem = "fuzz-00000" + std::to_string(cast_number);
    for (const char* suffix : {"-1.bmp", "-2.bmp", "-4.bmp", "-8.bmp"}) {
      files.WriteFile(stem + suffix, EncodeBmp(bmp));
    }
    files.WriteFile(stem + "-16.tga", EncodeTrueColorTga(32, 2, 2, pixels, 0x20));
    files.WriteFile(stem + "-32.tga", EncodeTrueColorTga(24, 4, 1, pixels, 0x00));
    files.WriteFile(stem + ".gif", "GIF89a");
    files.WriteFile(stem + ".txt", "\xEF\xBB\xBFZ\xC3\xBCrich\r\n\xE6\x97\xA5\xE6\x9C\xAC\n");
  }
}

// Made once per process and removed at its exit.
const quillon::test::ScratchDir& FilesDir() {
  static const quillon::test::ScratchDir files;
  static const bool written = (WriteImages(files), true);
  (void)written;
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const quillon::test::ScratchDir& files = FilesDir();
  std::vector<uint8_t> view(data, data + size);
  if (!quillon::CheckContainer(view.data(), view.size())) return 0;
  const quillon::MovieView movie(view.data(), view.size());
  quillon::ReplacementTable table(movie.UsedCount());
  quillon::SilentReportSink silent;
  quillon::Reporter report(silent);
  const quillon::CastTables tables(movie);
  // Japanese, so that the text is rebuilt with double-byte characters.
  static quillon::CodePage code_page;
  static const bool opened = code_page.Open(932);
  (void)opened;
  quillon::ImportCastMedia({files.path(), "fuzz", table, report, &tables, {&code_page}});
  return 0;
}
