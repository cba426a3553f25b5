#include "driver/run.h"

#include <string>
#include <vector>

#include "builders/build_context.h"
#include "builders/replacement_files.h"
#include "builders/run_passes.h"
#include "container/cast_members.h"
#include "container/container_writer.h"
#include "container/movie.h"
#include "container/replacement_table.h"
#include "driver/batch.h"
#include "driver/command_line.h"
#include "driver/console_sink.h"
#include "driver/folder_owner.h"
#include "driver/input_movie.h"
#include "driver/messages.h"
#include "driver/program.h"
#include "driver/run_output.h"
#include "util/file_io.h"
#include "util/known_files.h"
#include "util/paths.h"
#include "util/reporter.h"

namespace quillon {

namespace {

// The names every output of the run is called by.
struct RunNames {
  InputNames input;
  std::string files_dir;  // as typed
  std::string out_dir;
  // A movie of a folder that shares its stem with another one there logs by its file name.
  bool log_by_file_name = false;
  std::string LogPath() const {
    return JoinPath(out_dir, (log_by_file_name ? input.file_name : input.stem) + ".log");
  }
  std::string OutputPath() const { return JoinPath(out_dir, input.file_name); }
};

constexpr BatchShape kBatchShape{kBatchRunLine, {"replaced", "unchanged", "refused"}, true};
constexpr ProgramShape kShape{kRunSyntax, false, 2, 3, kBatchShape};

void PrintCannotWrite(const std::string& path, const std::string& reason, RunOutput& output) {
  output.Fatal(FormatText(kCannotWrite, path.c_str(), reason.c_str()));
}

RunNames DeriveNames(const CommandLine& line) {
  RunNames names;
  names.input = NameInput(line.arguments[0]);
  names.files_dir = line.arguments[1];
  names.out_dir = line.arguments.size() == 3 ? line.arguments[2] : kDefaultOutDir;
  names.log_by_file_name = line.log_by_file_name;
  return names;
}

// On POSIX a mapped file can be truncated under the view, so neither the output nor the log may
// be the input, however either is spelled. False with the fatal message printed.
bool SparesTheInput(const RunNames& names, RunOutput& output) {
  for (const std::string& path : {names.OutputPath(), names.LogPath()}) {
    if (IsSameFile(path, names.input.stored_path)) {
      PrintCannotWrite(path, kItIsTheInput, output);
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
  const std::vector<std::string> of_movie = files.OfMovie(paths, names.input.stem);
  std::vector<std::string> unused;
  for (const std::string& path : of_movie) {
    if (path != manifest && !files.WasRead(path)) unused.push_back(path);
  }
  for (const std::string& path : unused) report.Write(kNotUsed, path.c_str());
  if (!unused.empty()) {
    report.Tell(kColorYellow,
                FormatText(kUnusedCount, static_cast<unsigned>(unused.size()),
                           names.files_dir.c_str(), unused.front().c_str()));
  } else if (!paths.empty() && of_movie.empty()) {
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
                  const RunNames& names, RunOutput& output) {
  const RunCounts counts{ReplacedChunkCount(movie, table), report.unchanged_count(),
                         report.refusal_count()};
  output.ClearProgress();
  output.Print(FormatText(kRunSummary, counts[0], counts[1], counts[2], names.LogPath().c_str()));
  output.Counted(counts);
}

// The exit code of the write pass and its last lines.
int WriteOutput(MovieView& movie, ReplacementTable& table, const RunNames& names,
                RunOutput& output) {
  const std::string output_path = names.OutputPath();
  output.Print(FormatText(kWritingOutput, output_path.c_str()));
  FileError error;
  switch (WriteContainer(movie, table, output_path, {}, &error)) {
    case WriteStatus::kTooLarge:
      output.Fatal(FormatText(kTooLargeOutput, output_path.c_str()));
      return 1;
    case WriteStatus::kCannotWrite:
      PrintCannotWrite(output_path, DescribeFileError(error), output);
      return 1;
    case WriteStatus::kWritten:
      break;
  }
  output.Print(kJobOk);
  return 0;
}

// The run once the arguments are counted; its exit code. Steps refuse what they cannot
// allocate; what is left to throw is memory the run as a whole needs (names, the table, the key
// grouping, ...).
int RunPasses(const CommandLine& line, const MediaSettings& given, RunOutput& output) {
  const RunNames names = DeriveNames(line);
  // A folder that cannot be made shows when the log cannot be written into it.
  CreateFolders(names.out_dir);
  MappedMovie mapped;
  MovieView& movie = mapped.view;
  if (!MapCheckedMovie(names.input, movie, output) || !SparesTheInput(names, output) ||
      !OpenMovieCodePage(line, movie, *given.code_page, output)) {
    return 1;
  }
  FileError log_error;
  std::FILE* log_stream = ConsoleSink::OpenLog(names.LogPath(), log_error);
  if (log_stream == nullptr) {
    PrintCannotWrite(names.LogPath(), DescribeFileError(log_error), output);
    return 1;
  }
  ConsoleSink console(log_stream, output);
  Reporter report(console);

  ReplacementTable table(movie.UsedCount());
  const CastTables tables(movie);
  RunEveryPass(names, tables, given, table, report);
  PrintSummary(movie, table, report, names, output);
  return WriteOutput(movie, table, names, output);
}

}  // namespace

int RunQuillon(int argc, char** argv) { return RunProgram(argc, argv, kShape, RunPasses); }

}  // namespace quillon
