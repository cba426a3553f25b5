#include "driver/batch.h"

#include <cstdio>
#include <memory>
#include <thread>

#include "driver/batch_pool.h"
#include "driver/batch_report.h"
#include "driver/messages.h"
#include "util/file_io.h"
#include "util/paths.h"
#include "util/report.h"
#include "util/reporter.h"

namespace quillon {

namespace {

// Far beyond what a machine runs at once; a larger count is a typing error.
constexpr unsigned kMaxJobs = 1024;
constexpr unsigned kMaxJobDigits = 4;

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileOwner = std::unique_ptr<std::FILE, CloseFile>;

// "--jobs=N" with N from 1 to kMaxJobs; none given: one per processor.
bool ParseJobs(const std::string& text, unsigned& jobs) {
  if (text.empty()) {
    jobs = std::thread::hardware_concurrency();
    if (jobs == 0) jobs = 1;
    return true;
  }
  if (text.size() > kMaxJobDigits) return false;
  jobs = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    jobs = jobs * 10 + static_cast<unsigned>(c - '0');
  }
  return jobs >= 1 && jobs <= kMaxJobs;
}

// The folder as typed, without the separators it may end in ("game/" lists as "game").
std::string FolderPath(const std::string& typed) {
  size_t end = typed.size();
  while (end > 1 && std::string(kPathSeparators).find(typed[end - 1]) != std::string::npos) {
    --end;
  }
  return typed.substr(0, end);
}

struct Tally {
  unsigned ok = 0;
  unsigned failed = 0;
};

// The movie's line on the console; its status.
MovieStatus PrintMovieLine(const BatchShape& shape, const MovieJob& job, MovieOutcome& outcome) {
  const std::string& in_path = job.line.arguments[0];
  ClearProgressLine();
  if (!job.movie.is_movie) {
    outcome.message = kNotAMovie;
    PrintInColor(kColorYellow,
                 FormatText(kBatchSkipped, in_path.c_str(), outcome.message.c_str()).c_str());
    return MovieStatus::kSkipped;
  }
  if (outcome.exit_code == 0) {
    std::printf(shape.ok_line, in_path.c_str(), outcome.counts[0], outcome.counts[1],
                outcome.counts[2]);
    return MovieStatus::kOk;
  }
  if (outcome.message.empty()) {
    outcome.message = FormatText(kNotEnoughMemory, in_path.c_str());
    outcome.message.pop_back();
  }
  PrintFatal(kBatchFailed, in_path.c_str(), outcome.message.c_str());
  return MovieStatus::kFailed;
}

// Each movie's line and report object as the movies finish in order.
Tally RunJobs(const std::vector<MovieJob>& jobs, const BatchShape& shape, ProgramWork work,
              unsigned threads, std::FILE* report) {
  const bool on_console = StandardOutputIsConsole();
  const auto total = static_cast<unsigned>(jobs.size());
  const auto show_count = [&](size_t finished) {
    if (!on_console) return;
    ClearProgressLine();
    std::printf(kBatchProgress, static_cast<unsigned>(finished), total);
    std::fflush(stdout);
  };
  Tally tally;
  BatchPool pool(jobs, work, threads);
  for (size_t i = 0; i < jobs.size(); ++i) {
    MovieOutcome outcome = pool.Wait(i, show_count);
    const MovieStatus status = PrintMovieLine(shape, jobs[i], outcome);
    std::fflush(stdout);
    if (status == MovieStatus::kOk) ++tally.ok;
    if (status == MovieStatus::kFailed) ++tally.failed;
    if (report != nullptr) {
      const std::string line = ReportLine(shape, jobs[i], status, outcome);
      std::fwrite(line.data(), 1, line.size(), report);
    }
  }
  return tally;
}

// Where the totals line sends the user for the details.
std::string DetailsPath(const CommandLine& line, const BatchShape& shape) {
  if (!line.report.empty()) return line.report;
  if (!shape.writes_movies) return line.arguments[1];
  return line.arguments.size() == 3 ? line.arguments[2] : kDefaultOutDir;
}

// The report file, created; null with the fatal message printed when it cannot be, or when it
// would overwrite one of the movies.
FileOwner CreateReport(const std::string& path, const std::vector<MovieJob>& jobs) {
  for (const MovieJob& job : jobs) {
    if (IsSameFile(path, job.line.arguments[0])) {
      PrintFatal(kCannotWrite, path.c_str(), kItIsTheInput);
      return nullptr;
    }
  }
  FileError error;
  FileOwner report(CreateTextFile(path, error));
  if (report == nullptr) {
    PrintFatal(kCannotWrite, path.c_str(), DescribeFileError(error).c_str());
  }
  return report;
}

int RunFolder(const CommandLine& line, const BatchShape& shape, ProgramWork work) {
  unsigned threads = 0;
  if (!ParseJobs(line.jobs, threads)) {
    PrintFatal(kBadJobs, line.jobs.c_str());
    return 1;
  }
  std::vector<MovieJob> jobs;
  for (const FolderMovie& movie : ListFolderMovies(FolderPath(line.arguments[0]))) {
    jobs.push_back(MakeMovieJob(line, shape, movie));
  }
  FileOwner report;
  if (!line.report.empty()) {
    report = CreateReport(line.report, jobs);
    if (report == nullptr) return 1;
  }
  const Tally tally = RunJobs(jobs, shape, work, threads, report.get());
  ClearProgressLine();
  std::printf(kBatchTotals, tally.ok + tally.failed, tally.ok, tally.failed,
              DetailsPath(line, shape).c_str());
  return tally.failed == 0 ? 0 : 1;
}

}  // namespace

MovieJob MakeMovieJob(const CommandLine& line, const BatchShape& shape, const FolderMovie& movie) {
  MovieJob job;
  job.movie = movie;
  job.line = line;
  const std::string files_dir = JoinPath(line.arguments[1], movie.relative);
  job.line.arguments = {JoinPath(FolderPath(line.arguments[0]), movie.relative), files_dir};
  job.output = files_dir;
  if (shape.writes_movies) {
    const std::string out_root = line.arguments.size() == 3 ? line.arguments[2] : kDefaultOutDir;
    const std::string folder = GetFolder(movie.relative);
    const std::string out_dir = folder.empty() ? out_root : JoinPath(out_root, folder);
    job.line.arguments.push_back(out_dir);
    job.line.log_by_file_name = movie.shares_stem;
    job.output = JoinPath(out_dir, GetFileName(movie.relative));
  }
  return job;
}

int RunBatch(const CommandLine& line, const BatchShape& shape, ProgramWork work) {
  try {
    return RunFolder(line, shape, work);
  } catch (...) {
    // Only allocation throws here: the listing, the jobs, a line.
    PrintFatal(kNotEnoughMemory, line.arguments[0].c_str());
    return 1;
  }
}

}  // namespace quillon
