#include "driver/run.h"

#include <cstdio>
#include <string>
#include <vector>

#include "builders/build_context.h"
#include "builders/replacement_files.h"
#include "builders/run_passes.h"
#include "container/cast_members.h"
#include "container/container_writer.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "driver/command_line.h"
#include "driver/console_sink.h"
#include "driver/folder_owner.h"
#include "driver/input_movie.h"
#include "driver/messages.h"
#include "driver/program.h"
#include "util/file_io.h"
#include "util/known_files.h"
#include "util/paths.h"
#include "util/report.h"
#include "util/reporter.h"

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

constexpr ProgramShape kShape{kRunSyntax, false, 2, 3};

void PrintCannotWrite(const std::string& path, const std::string& reason) {
  PrintFatal(kCannotWrite, path.c_str(), reason.c_str());
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
      PrintCannotWrite(path, kItIsTheInput);
      return false;
    }
  }
  return true;
}

// Whether the passes may read FilesDir: it holds no other movie's files.
bool FilesAreTheMovies(const RunNames& names, Reporter& report) {
  const std::string owner = FolderOwner(names.files_dir, names.input.stem);
  if (!OwnedByAnother(owner, names.input.file_name)) return true;
  report.WriteNotice(kFilesOfAnotherMovie, names.files_dir.c_str(), owner.c_str(),
                     names.input.file_name.c_str());
  return false;
}

// The files of FilesDir that look like this movie's and that no pass read, in the log one by
// one and on the console as a count, so that a misspelt name never passes unnoticed.
void ReportUnusedFiles(const RunNames& names, const ReplacementFiles& files,
                       const std::vector<std::string>& paths, Reporter& report) {
  const std::string manifest = JoinPath(names.files_dir, names.input.stem + ".csv");
  std::vector<std::string> unused;
  for (const std::string& path : files.OfMovie(paths, names.input.stem)) {
    if (path != manifest && !files.WasRead(path)) unused.push_back(path);
  }
  for (const std::string& path : unused) report.Write(kNotUsed, path.c_str());
  if (!unused.empty()) {
    report.Tell(kColorYellow,
                FormatText(kUnusedCount, static_cast<unsigned>(unused.size()),
                           names.files_dir.c_str(), unused.front().c_str()));
  } else if (!paths.empty() && files.OfMovie(paths, names.input.stem).empty()) {
    report.WriteNotice(kNoFileOfTheMovie, names.files_dir.c_str(), names.input.stem.c_str());
  }
}

// The passes over FilesDir, unless it holds another movie's files. A missing folder is said, and
// the passes still log the members they meet.
void RunEveryPass(const RunNames& names, const CastTables& tables, const MediaSettings& settings,
                  ReplacementTable& table, Reporter& report) {
  ReplacementFiles files(names.files_dir);
  std::vector<std::string> paths;
  const bool folder_exists = files.ListAll(paths) != ListFolderStatus::kMissing;
  if (!folder_exists) {
    report.WriteNotice(kNoFilesDir, names.files_dir.c_str());
  } else if (!FilesAreTheMovies(names, report)) {
    return;
  }
  const BuildContext context{names.files_dir, names.input.stem, table,  report,
                             &tables,         settings,          &files};
  for (const RunPass* pass = RunPassesBegin(); pass != RunPassesEnd(); ++pass) pass->run(context);
  if (folder_exists) ReportUnusedFiles(names, files, paths, report);
}

// What the passes did, so that a run that used none of its files does not pass unnoticed.
void PrintSummary(const MovieView& movie, const ReplacementTable& table, const Reporter& report,
                  const RunNames& names) {
  ClearProgressLine();
  std::printf(kRunSummary, ReplacedChunkCount(movie, table), report.unchanged_count(),
              report.refusal_count(), names.LogPath().c_str());
}

// The exit code of the write pass and its last lines.
int WriteOutput(MovieView& movie, ReplacementTable& table, const RunNames& names) {
  const std::string output_path = names.OutputPath();
  std::printf(kWritingOutput, output_path.c_str());
  FileError error;
  switch (WriteContainer(movie, table, output_path, {}, &error)) {
    case WriteStatus::kTooLarge:
      PrintFatal(kTooLargeOutput, output_path.c_str());
      return 1;
    case WriteStatus::kCannotWrite:
      PrintCannotWrite(output_path, DescribeFileError(error));
      return 1;
    case WriteStatus::kWritten:
      break;
  }
  std::fputs(kJobOk, stdout);
  return 0;
}

// The run once the arguments are counted; its exit code. Steps refuse what they cannot
// allocate; what is left to throw is memory the run as a whole needs (names, the table, the key
// grouping, ...).
int RunPasses(const CommandLine& line, const MediaSettings& given) {
  const RunNames names = DeriveNames(line.arguments);
  // A folder that cannot be made shows when the log cannot be written into it.
  CreateFolders(names.out_dir);
  MovieView movie;
  if (!MapCheckedMovie(names.input, movie) || !SparesTheInput(names) ||
      !OpenMovieCodePage(line, movie, *given.code_page)) {
    return 1;
  }
  FileError log_error;
  std::FILE* log_stream = ConsoleSink::OpenLog(names.LogPath(), log_error);
  if (log_stream == nullptr) {
    PrintCannotWrite(names.LogPath(), DescribeFileError(log_error));
    return 1;
  }
  ConsoleSink console(log_stream);
  Reporter report(console);

  ReplacementTable table(movie.UsedCount());
  const CastTables tables(movie);
  RunEveryPass(names, tables, given, table, report);
  PrintSummary(movie, table, report, names);
  return WriteOutput(movie, table, names);
}

}  // namespace

int RunQuillon(int argc, char** argv) { return RunProgram(argc, argv, kShape, RunPasses); }

}  // namespace quillon
