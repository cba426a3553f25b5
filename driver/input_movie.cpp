#include "driver/input_movie.h"

#include "driver/messages.h"
#include "driver/run_output.h"
#include "image/dib.h"
#include "util/file_map.h"
#include "util/paths.h"
#include "util/process.h"
#include "util/report.h"
#include "util/reporter.h"

namespace quillon {

InputNames NameInput(const std::string& in_file) {
  InputNames names;
  names.in_file = in_file;
  names.stored_path = GetStoredPath(in_file);
  names.file_name = GetFileName(names.stored_path);
  names.stem = StripExtension(names.file_name);
  return names;
}

namespace {

// The fatal message for a file the container check refused.
void PrintRefusedMovie(const ContainerCheck& check, const std::string& in_file,
                       RunOutput& output) {
  switch (check.status) {
    case ContainerStatus::kCompressed:
      output.Fatal(FormatText(kCompressedMovie, in_file.c_str()));
      return;
    case ContainerStatus::kTruncated:
    case ContainerStatus::kMapOutsideFile:
    case ContainerStatus::kChunkOutsideFile:
    case ContainerStatus::kMapHeaderSize:
      output.Fatal(FormatText(kDamagedMovie, in_file.c_str(), DescribeDamage(check).c_str()));
      return;
    case ContainerStatus::kOk:
    case ContainerStatus::kNotAContainer:
      break;
  }
  output.Fatal(FormatText(kUnknownFormat, in_file.c_str()));
}

}  // namespace

bool MapCheckedMovie(const InputNames& names, MovieView& movie, RunOutput& output) {
  const FileMapping mapping = MapFileCopyOnWrite(names.stored_path);
  if (!mapping.valid()) {
    output.Fatal(
        FormatText(kCannotOpen, names.in_file.c_str(), DescribeFileError(mapping.error).c_str()));
    return false;
  }
  const ContainerCheck check = CheckContainer(mapping.view, mapping.size);
  if (!check) {
    PrintRefusedMovie(check, names.in_file, output);
    FileMapping refused = mapping;
    UnmapFile(refused);
    return false;
  }
  // The view stays mapped until the run ends; its file stays open for the write pass.
  movie = MovieView(mapping);
  return true;
}

MappedMovie::~MappedMovie() {
  FileMapping mapping = view.mapping();
  if (mapping.valid()) UnmapFile(mapping);
}

void PrepareProcess() {
  ReportOversizedWritesAsErrors();
  BufferRedirectedOutput();
  SetAssertionHook([] { CheckAssertion(false); });
}

void PrintBanner() { PrintInColor(kColorGreen, kBanner); }

}  // namespace quillon
