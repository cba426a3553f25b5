#include "driver/run.h"

#include <cstdio>
#include <string>
#include <vector>

#include "builders/catalogue_pass.h"
#include "builders/media_kinds.h"
#include "builders/raw_pass.h"
#include "container/cast_members.h"
#include "container/container_writer.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "driver/command_line.h"
#include "driver/input_movie.h"
#include "driver/program.h"
#include "util/code_page.h"
#include "util/file_io.h"
#include "util/paths.h"
#include "util/report.h"

namespace quillon {

namespace {

constexpr char kDefaultOutDir[] = "Out";

// The names every output of the run is called by.
struct RunNames {
  InputNames input;
  std::string files_dir;  // as typed
  std::string out_dir;
  std::string LogPath() const { return JoinPath(out_dir, input.stem + ".log"); }
  std::string OutputPath() const { return JoinPath(out_dir, input.file_name); }
};

constexpr ProgramShape kShape{
    "Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\n", false, 2, 3};

void PrintCannotWrite(const std::string& path) {
  PrintFatal("Cannot write file %s!!!\n", path.c_str());
}

RunNames DeriveNames(const std::vector<std::string>& arguments) {
  RunNames names;
  names.input = NameInput(arguments[0]);
  names.files_dir = arguments[1];
  names.out_dir = arguments.size() == 3 ? arguments[2] : kDefaultOutDir;
  return names;
}

// On POSIX a mapped file can be truncated under the view, so neither the output nor the log may
// be the input, however either is spelled. False with the fatal message printed.
bool SparesTheInput(const RunNames& names) {
  for (const std::string& path : {names.OutputPath(), names.LogPath()}) {
    if (IsSameFile(path, names.input.stored_path)) {
      PrintCannotWrite(path);
      return false;
    }
  }
  return true;
}

// What the passes did, so that a run that used none of its files does not pass unnoticed.
void PrintSummary(const MovieView& movie, const ReplacementTable& table, const Log& log,
                  const RunNames& names) {
  ClearProgressLine();
  std::printf("Replaced %u chunks; %u files could not be used (see %s).\n",
              ReplacedChunkCount(movie, table), log.refusal_count(), names.LogPath().c_str());
}

// The exit code of the write pass and its last lines.
int WriteOutput(MovieView& movie, ReplacementTable& table, const RunNames& names) {
  const std::string output_path = names.OutputPath();
  std::printf("Writing resulting cast %s...\n", output_path.c_str());
  switch (WriteContainer(movie, table, output_path)) {
    case WriteStatus::kTooLarge:
      PrintFatal("Resulting cast %s would exceed 4 GB!!!\n", output_path.c_str());
      return 1;
    case WriteStatus::kCannotWrite:
      PrintCannotWrite(output_path);
      return 1;
    case WriteStatus::kWritten:
      break;
  }
  std::printf("\nJob OK!!!\n");
  return 0;
}

// The run once the arguments are counted; its exit code. Steps refuse what they cannot
// allocate; what is left to throw is memory the run as a whole needs (names, the table, the key
// grouping, ...).
int RunPasses(const CommandLine& line, CodePage& code_page) {
  const RunNames names = DeriveNames(line.arguments);
  // A folder that cannot be made shows when the log cannot be written into it.
  CreateFolders(names.out_dir);
  MovieView movie;
  if (!MapCheckedMovie(names.input, movie) || !SparesTheInput(names) ||
      !OpenMovieCodePage(line, movie, code_page)) {
    return 1;
  }
  std::FILE* log_stream = Log::OpenFile(names.LogPath());
  if (log_stream == nullptr) {
    PrintCannotWrite(names.LogPath());
    return 1;
  }
  Log log(log_stream);

  ReplacementTable table(movie.UsedCount());
  RawPass(movie, names.files_dir, names.input.stem, table, log);
  const CastTables tables(movie);
  const BuildContext context{names.files_dir, names.input.stem, table, log, &tables, {},
                             &code_page};
  ImportCastMedia(context);
  ImportCatalogue(context, line.code_page_given);
  PrintSummary(movie, table, log, names);
  return WriteOutput(movie, table, names);
}

}  // namespace

int RunQuillon(int argc, char** argv) { return RunProgram(argc, argv, kShape, RunPasses); }

}  // namespace quillon
