// Both programs over a folder of movies, end to end: the same files as single runs whatever the
// job count, two movies of one stem kept apart, one line per movie in order, failures named as
// the single run names them, and the report's objects.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "fixtures/movie_builder.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tool_run.h"

namespace quillon {
namespace {

namespace fs = std::filesystem;
using test::Bytes;
using test::MovieBuilder;
using test::RunResult;

const std::string kBanner = "Quillon v1.1.\n";

Bytes SmallMovie(ByteOrder order, uint8_t text_byte) {
  MovieBuilder builder(8, true, order);
  builder.AddChunk("TXTS", {'t', 'e', 'x', text_byte});
  builder.AddChunk("DTIB", {1, 2, 3});
  return builder.Build();
}

Bytes CastFile() {
  MovieBuilder builder(6);
  builder.SetFormType("59CM");
  builder.AddChunk("TXTS", {'c', 'a', 's', 't'});
  return builder.Build();
}

// Every file below `root`, by its path relative to it, with its bytes.
std::map<std::string, std::string> Tree(const test::ScratchDir& dir, const std::string& root) {
  std::map<std::string, std::string> files;
  const fs::path base = fs::path(dir.path()) / root;
  if (!fs::exists(base)) return files;
  for (const auto& entry : fs::recursive_directory_iterator(base)) {
    if (!entry.is_regular_file()) continue;
    const std::string relative = fs::relative(entry.path(), base).string();
    files[relative] = dir.ReadFile(root + "/" + relative);
  }
  return files;
}

// A game's folder: the shared movies (the Mac ones a folder down), two movies of one stem, a
// cast, a text file and a Director name that holds no movie.
void MakeGame(const test::ScratchDir& dir) {
  for (const char* folder : {"movies", "mac"}) {
    const std::string target = std::string(folder) == "mac" ? "game/mac/" : "game/";
    for (const auto& entry : fs::directory_iterator(fs::path(QUILLON_TESTDATA_DIR) / folder)) {
      fs::create_directories(fs::path(dir.path()) / target);
      fs::copy_file(entry.path(), fs::path(dir.path()) / target / entry.path().filename());
    }
  }
  dir.WriteFile("game/GAME.DIR", SmallMovie(ByteOrder::kLittle, 'd'));
  dir.WriteFile("game/GAME.CXT", SmallMovie(ByteOrder::kBig, 'c'));
  dir.WriteFile("game/mac/shared.cst", CastFile());
  dir.WriteFile("game/readme.txt", std::string("not a movie"));
  dir.WriteFile("game/intro.dcr", std::string("XFIRnot a movie at all"));
}

// The movies of the game as the batch runs them: name order, files before subfolders.
std::vector<std::string> GameMovies(const test::ScratchDir& dir) {
  std::vector<std::string> movies;
  for (const std::string folder : {"", "mac/"}) {
    for (const std::string& name : dir.ListFiles("game/" + folder)) {
      if (name != "mac" && name != "readme.txt" && name != "intro.dcr") {
        movies.push_back(folder + name);
      }
    }
  }
  return movies;
}

RunResult RunTool(const char* program, const test::ScratchDir& dir,
              const std::vector<std::string>& args) {
  return test::RunProgram(program, dir.path(), args);
}

// `quillon-export` and `quillon` once per movie, the logs of one stem renamed as the batch names
// them.
void RunSingly(const test::ScratchDir& dir) {
  for (const std::string& movie : GameMovies(dir)) {
    ASSERT_EQ(RunTool(QUILLON_EXPORT_EXE, dir, {"game/" + movie, "exp/" + movie}).exit_code, 0);
    const std::string folder = fs::path(movie).parent_path().string();
    const std::string out = folder.empty() ? "out" : "out/" + folder;
    ASSERT_EQ(RunTool(QUILLON_EXE, dir, {"game/" + movie, "exp/" + movie, out}).exit_code, 0);
    if (movie.rfind("GAME.", 0) == 0) {
      fs::rename(fs::path(dir.path()) / "out/GAME.log",
                 fs::path(dir.path()) / ("out/" + movie + ".log"));
    }
  }
}

TEST(BatchRunTest, GivesTheFilesOfSingleRunsWhateverTheJobCount) {
  test::ScratchDir single;
  MakeGame(single);
  RunSingly(single);
  const auto exported = Tree(single, "exp");
  const auto rebuilt = Tree(single, "out");
  ASSERT_TRUE(exported.count("GAME.DIR/GAME.csv") == 1 && exported.count("GAME.CXT/GAME.csv"));
  ASSERT_TRUE(rebuilt.count("GAME.DIR.log") == 1 && rebuilt.count("mac/shared.cst") == 1);
  for (const std::string jobs : {"--jobs=1", "--jobs=4"}) {
    test::ScratchDir batch;
    MakeGame(batch);
    const RunResult export_run = RunTool(QUILLON_EXPORT_EXE, batch, {jobs, "game", "exp"});
    EXPECT_EQ(export_run.exit_code, 0) << export_run.output;
    const RunResult run = RunTool(QUILLON_EXE, batch, {jobs, "game", "exp", "out"});
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(Tree(batch, "exp"), exported) << jobs;
    EXPECT_EQ(Tree(batch, "out"), rebuilt) << jobs;
    const size_t movies = GameMovies(batch).size();
    EXPECT_NE(run.output.find(std::to_string(movies) + " movies: " + std::to_string(movies) +
                              " OK, 0 failed (see out)\n"),
              std::string::npos)
        << run.output;
    EXPECT_NE(run.output.find("SKIPPED game/intro.dcr: not a movie or cast\n"), std::string::npos);
    EXPECT_EQ(run.output.find("readme"), std::string::npos);
  }
}

// Overwrites the first chunk file the export wrote into `folder` (of the movie "a").
void EditChunkFile(const test::ScratchDir& dir, const std::string& folder) {
  const std::vector<std::string> files = dir.ListFiles(folder);
  const auto chunk = std::find_if(files.begin(), files.end(), [](const std::string& name) {
    return name.rfind("a-", 0) == 0;
  });
  ASSERT_NE(chunk, files.end());
  dir.WriteFile(folder + "/" + *chunk, std::string("edited"));
}

// The single run's fatal message for the same arguments, its last line, without its line end.
std::string SingleRunMessage(const test::ScratchDir& dir, const std::vector<std::string>& args) {
  const RunResult result = RunTool(QUILLON_EXE, dir, args);
  EXPECT_EQ(result.exit_code, 1);
  std::string message = result.output;
  message.pop_back();
  return message.substr(message.rfind('\n') + 1);
}

TEST(BatchRunTest, NamesEachFailureInOrderAndReportsEveryMovie) {
  test::ScratchDir dir;
  dir.WriteFile("game/a.dxr", SmallMovie(ByteOrder::kLittle, 'a'));
  Bytes damaged = SmallMovie(ByteOrder::kLittle, 'b');
  damaged.resize(50);
  dir.WriteFile("game/b.dxr", damaged);
  dir.WriteFile("game/c.dxr", SmallMovie(ByteOrder::kLittle, 'c'));
  dir.WriteFile("game/d.dir", std::string("no movie \"here\"\n"));
  ASSERT_EQ(RunTool(QUILLON_EXPORT_EXE, dir, {"game/a.dxr", "files/a.dxr"}).exit_code, 0);
  EditChunkFile(dir, "files/a.dxr");
  fs::create_directories(fs::path(dir.path()) / "out/c.dxr");  // the output cannot be written
  const std::string damaged_message = SingleRunMessage(dir, {"game/b.dxr", "files/b.dxr", "x"});
  const std::string unwritable = SingleRunMessage(dir, {"game/c.dxr", "files/c.dxr", "out"});
  const RunResult run = RunTool(QUILLON_EXE, dir, {"--jobs=3", "--report=r.jsonl", "game", "files",
                                               "out"});
  EXPECT_EQ(run.exit_code, 1);
  const RunResult refused = RunTool(QUILLON_EXE, dir, {"game/a.dxr", "files/a.dxr", "x"});
  // The refusal line, first after the banner.
  const size_t line_end = refused.output.find('\n', kBanner.size());
  ASSERT_NE(line_end, std::string::npos);
  const std::string refusal = refused.output.substr(kBanner.size(), line_end - kBanner.size());
  EXPECT_NE(refusal.find("was not substituted"), std::string::npos) << refused.output;
  EXPECT_EQ(run.output, kBanner + "OK    game/a.dxr: 0 replaced, 1 unchanged, 1 refused\n" +
                            "FAILED game/b.dxr: " + damaged_message + "\n" +
                            "FAILED game/c.dxr: " + unwritable + "\n" +
                            "SKIPPED game/d.dir: not a movie or cast\n" +
                            "3 movies: 1 OK, 2 failed (see r.jsonl)\n");
  EXPECT_EQ(dir.ReadFile("r.jsonl"),
            "{\"input\":\"game/a.dxr\",\"output\":\"out/a.dxr\",\"status\":\"ok\",\"replaced\":0,"
            "\"unchanged\":1,\"refused\":1,\"refusals\":[\"" + refusal + "\"]}\n"
            "{\"input\":\"game/b.dxr\",\"output\":\"out/b.dxr\",\"status\":\"failed\","
            "\"refusals\":[],\"message\":\"" + damaged_message + "\"}\n"
            "{\"input\":\"game/c.dxr\",\"output\":\"out/c.dxr\",\"status\":\"failed\","
            "\"refusals\":[],\"message\":\"" + unwritable + "\"}\n"
            "{\"input\":\"game/d.dir\",\"output\":\"out/d.dir\",\"status\":\"skipped\","
            "\"refusals\":[],\"message\":\"not a movie or cast\"}\n");
  EXPECT_TRUE(dir.Exists("out/a.dxr") && dir.Exists("out/a.log"));
}

TEST(BatchRunTest, ExportLinesCountFilesPassedOverAndKept) {
  test::ScratchDir dir;
  dir.WriteFile("game/a.dxr", SmallMovie(ByteOrder::kLittle, 'a'));
  ASSERT_EQ(RunTool(QUILLON_EXPORT_EXE, dir, {"game", "files"}).exit_code, 0);
  EditChunkFile(dir, "files/a.dxr");
  const RunResult again = RunTool(QUILLON_EXPORT_EXE, dir, {"--report=r.jsonl", "game", "files"});
  EXPECT_EQ(again.exit_code, 0);
  EXPECT_EQ(again.output, kBanner + "OK    game/a.dxr: 2 files, 0 passed over, 1 kept\n" +
                              "1 movies: 1 OK, 0 failed (see r.jsonl)\n");
  EXPECT_EQ(dir.ReadFile("r.jsonl"),
            "{\"input\":\"game/a.dxr\",\"output\":\"files/a.dxr\",\"status\":\"ok\","
            "\"files\":2,\"passed_over\":0,\"kept\":1,\"refusals\":[]}\n");
}

TEST(BatchRunTest, LinksBackUpAreNotWalked) {
  test::ScratchDir dir;
  dir.WriteFile("game/a.dxr", SmallMovie(ByteOrder::kLittle, 'a'));
  dir.WriteFile("game/sub/b.dxr", SmallMovie(ByteOrder::kBig, 'b'));
  for (const char* link : {"game/sub/up", "game/sub/again", "game/self"}) {
    fs::create_directory_symlink(std::string(link) == "game/self" ? "." : "..",
                                 fs::path(dir.path()) / link);
  }
  const RunResult run = RunTool(QUILLON_EXPORT_EXE, dir, {"game", "files"});
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, kBanner + "OK    game/a.dxr: 2 files, 0 passed over, 0 kept\n" +
                            "OK    game/sub/b.dxr: 2 files, 0 passed over, 0 kept\n" +
                            "2 movies: 2 OK, 0 failed (see files)\n");
}

TEST(BatchRunTest, AReportThatWouldOverwriteAMovieIsRefused) {
  test::ScratchDir dir;
  const Bytes movie = SmallMovie(ByteOrder::kLittle, 'a');
  dir.WriteFile("game/a.dxr", movie);
  const RunResult run = RunTool(QUILLON_EXE, dir, {"--report=game/./a.dxr", "game", "files"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.output, kBanner + "Cannot write file game/./a.dxr: it is the input movie!!!\n");
  EXPECT_EQ(dir.ReadFile("game/a.dxr"), std::string(movie.begin(), movie.end()));
  EXPECT_FALSE(dir.Exists("Out"));
}

TEST(BatchRunTest, RefusesJobCountsThatAreNoCount) {
  test::ScratchDir dir;
  dir.WriteFile("game/a.dxr", SmallMovie(ByteOrder::kLittle, 'a'));
  for (const std::string count : {"0", "x", "-1", "99999"}) {
    const RunResult run = RunTool(QUILLON_EXE, dir, {"--jobs=" + count, "game", "files"});
    EXPECT_EQ(run.exit_code, 1) << count;
    EXPECT_EQ(run.output, kBanner + "Unknown job count " + count + "!!!\n");
    EXPECT_FALSE(dir.Exists("Out"));
  }
}

}  // namespace
}  // namespace quillon
