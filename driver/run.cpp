#include "driver/run.h"

#include <cstdio>
#include <string>

#include "builders/cast_media_builders.h"
#include "builders/raw_pass.h"
#include "container/cast_members.h"
#include "container/container_writer.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "driver/input_movie.h"
#include "driver/report.h"
#include "util/console.h"
#include "util/file_io.h"
#include "util/file_map.h"
#include "util/paths.h"

namespace quillon {

namespace {

constexpr char kDefaultOutDir[] = "Out";
constexpr char kCannotWrite[] = "Cannot write file %s!!!\n";

// The names every output of the run is called by.
struct RunNames {
  InputNames input;
  std::string files_dir;  // as typed
  std::string out_dir;
  std::string LogPath() const { return JoinPath(out_dir, input.stem + ".log"); }
  std::string OutputPath() const { return JoinPath(out_dir, input.file_name); }
};

void PrintUsage() {
  PrintInColor(kColorYellow,
               "Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\n"
               "Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\n");
}

RunNames DeriveNames(int argc, char** argv) {
  RunNames names;
  names.input = NameInput(argv[1]);
  names.files_dir = argv[2];
  names.out_dir = argc == 4 ? argv[3] : kDefaultOutDir;
  return names;
}

// On POSIX a mapped file can be truncated under the view, so neither the output nor the log may
// be the input, however either is spelled.
void RefuseToOverwriteInput(const RunNames& names) {
  for (const std::string& path : {names.OutputPath(), names.LogPath()}) {
    if (IsSameFile(path, names.input.stored_path)) FatalError(kCannotWrite, path);
  }
}

void WriteOutput(MovieView& movie, ReplacementTable& table, const RunNames& names) {
  const std::string output_path = names.OutputPath();
  std::printf("Writing resulting cast %s...\n", output_path.c_str());
  switch (WriteContainer(movie, table, output_path)) {
    case WriteStatus::kTooLarge:
      FatalError("Resulting cast %s would exceed 4 GB!!!\n", output_path);
    case WriteStatus::kCannotWrite:
      FatalError(kCannotWrite, output_path);
    case WriteStatus::kWritten:
      break;
  }
  std::printf("\nJob OK!!!\n");
}

// The run once the arguments are counted. Builds refuse what they cannot allocate; what is left
// to throw is memory the run as a whole needs (names, the table, the key grouping, ...).
void RunPasses(int argc, char** argv) {
  const RunNames names = DeriveNames(argc, argv);
  // A folder that cannot be made shows when the log cannot be written into it.
  CreateFolders(names.out_dir);
  MovieView movie = MapCheckedMovie(names.input);

  RefuseToOverwriteInput(names);
  std::FILE* log_stream = Log::OpenFile(names.LogPath());
  if (log_stream == nullptr) FatalError(kCannotWrite, names.LogPath());
  Log log(log_stream);

  ReplacementTable table(movie.UsedCount());
  RawPass(movie, names.files_dir, names.input.stem, table, log);
  CastMediaBuilders builders(names.files_dir, names.input.stem, table, log, &movie);
  CastPass(movie, builders);
  WriteOutput(movie, table, names);
}

}  // namespace

int RunQuillon(int argc, char** argv) {
  PrintInColor(kColorGreen, "Quillon v1.1.\n");
  if (argc < 3 || argc > 4) {
    PrintUsage();
    return 1;
  }
  try {
    RunPasses(argc, argv);
  } catch (...) {
    // Only allocation throws here (std::bad_alloc, or std::length_error for sizes beyond any
    // allocation); the unwinding has released what the run held, so the message can be shown.
    FatalError("Not enough memory for %s!!!\n", argv[1]);
  }
  return 0;
}

}  // namespace quillon
