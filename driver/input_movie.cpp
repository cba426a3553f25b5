#include "driver/input_movie.h"

#include "driver/messages.h"
#include "image/dib.h"
#include "util/file_map.h"
#include "util/paths.h"
#include "util/process.h"
#include "util/report.h"

namespace quillon {

InputNames NameInput(const std::string& in_file) {
  InputNames names;
  names.in_file = in_file;
  names.stored_path = GetStoredPath(in_file);
  names.file_name = GetFileName(names.stored_path);
  names.stem = StripExtension(names.file_name);
  return names;
}

bool MapCheckedMovie(const InputNames& names, MovieView& movie) {
  const FileMapping mapping = MapFileCopyOnWrite(names.stored_path);
  if (!mapping.valid()) {
    PrintFatal(kCannotOpen, names.in_file.c_str(), DescribeFileError(mapping.error).c_str());
    return false;
  }
  if (!CheckContainer(mapping.view, mapping.size)) {
    PrintFatal(kUnknownFormat, names.in_file.c_str());
    return false;
  }
  // The view stays mapped until the process ends; its file stays open for the write pass.
  movie = MovieView(mapping);
  return true;
}

void PrepareProcess() {
  ReportOversizedWritesAsErrors();
  BufferRedirectedOutput();
  SetAssertionHook([] { CheckAssertion(false); });
}

void PrintBanner() { PrintInColor(kColorGreen, kBanner); }

}  // namespace quillon
