// Where each movie of a folder reads and writes, and its report object, without running it.
#include <gtest/gtest.h>

#include <string>

#include "driver/batch.h"
#include "driver/batch_report.h"
#include "util/paths.h"

namespace quillon {
namespace {

constexpr BatchShape kRebuild{"OK    %s\n", {"replaced", "unchanged", "refused"}, true};
constexpr BatchShape kExport{"OK    %s\n", {"files", "passed_over", "kept"}, false};

// "a/b" with the system's separators.
std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = kPathSeparator;
  }
  return path;
}

TEST(MakeMovieJobTest, MirrorsTheRelativePathUnderEachRoot) {
  const struct {
    const BatchShape& shape;
    std::vector<std::string> arguments;
    FolderMovie movie;
    std::vector<std::string> job_arguments;
    std::string output;
    bool log_by_file_name;
  } cases[] = {
      {kExport, {"game", "work"}, {"A.DIR", true, false}, {"game/A.DIR", "work/A.DIR"},
       "work/A.DIR", false},
      {kExport, {"game/", "work"}, {"d/A.CXT", true, true}, {"game/d/A.CXT", "work/d/A.CXT"},
       "work/d/A.CXT", false},
      {kRebuild, {"game", "work"}, {"A.DIR", true, false}, {"game/A.DIR", "work/A.DIR", "Out"},
       "Out/A.DIR", false},
      {kRebuild, {"game", "work", "new"}, {"d/e/A.CXT", true, true},
       {"game/d/e/A.CXT", "work/d/e/A.CXT", "new/d/e"}, "new/d/e/A.CXT", true},
  };
  for (const auto& c : cases) {
    CommandLine line;
    for (const std::string& argument : c.arguments) line.arguments.push_back(Native(argument));
    FolderMovie movie = c.movie;
    movie.relative = Native(movie.relative);
    const MovieJob job = MakeMovieJob(line, c.shape, movie);
    ASSERT_EQ(job.line.arguments.size(), c.job_arguments.size());
    for (size_t i = 0; i < c.job_arguments.size(); ++i) {
      EXPECT_EQ(job.line.arguments[i], Native(c.job_arguments[i]));
    }
    EXPECT_EQ(job.output, Native(c.output));
    EXPECT_EQ(job.line.log_by_file_name, c.log_by_file_name) << job.output;
  }
}

TEST(ReportLineTest, EscapesPathsAndMessages) {
  MovieJob job;
  job.line.arguments = {"game/say \"hi\".dxr", "work"};
  job.output = "work\\x";
  MovieOutcome outcome;
  outcome.message = "Cannot read it\tnow";
  outcome.refusals = {"one", "two"};
  EXPECT_EQ(ReportLine(kRebuild, job, MovieStatus::kFailed, outcome),
            "{\"input\":\"game/say \\\"hi\\\".dxr\",\"output\":\"work\\\\x\",\"status\":"
            "\"failed\",\"refusals\":[\"one\",\"two\"],\"message\":\"Cannot read it\\tnow\"}\n");
  outcome.counts = {1, 2, 3};
  outcome.refusals.clear();
  EXPECT_EQ(ReportLine(kExport, job, MovieStatus::kOk, outcome),
            "{\"input\":\"game/say \\\"hi\\\".dxr\",\"output\":\"work\\\\x\",\"status\":\"ok\","
            "\"files\":1,\"passed_over\":2,\"kept\":3,\"refusals\":[]}\n");
}

}  // namespace
}  // namespace quillon
