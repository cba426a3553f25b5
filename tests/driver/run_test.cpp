// The `quillon` executable run end to end in a scratch folder, as a user would run it.
#include <gtest/gtest.h>

#include <filesystem>

#include "fixtures/movie_builder.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tool_run.h"

namespace quillon {
namespace {

using test::Bytes;
using test::MovieBuilder;
using test::ProgressLine;
using test::RunResult;

const std::string kBanner = "Quillon v1.1.\n";
const std::string kUsage =
    "Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\n"
    "Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\n";

// Entries 3 (live), 4 (free), 5 (live, odd length).
Bytes SmallMovie() {
  MovieBuilder builder(8);
  builder.AddChunk("TXTS", {'t', 'e', 'x', 't'});
  builder.AddFreeEntry();
  builder.AddChunk("DTIB", {1, 2, 3});
  return builder.Build();
}

class RunTest : public testing::Test {
 protected:
  // Puts the movie at `relative` and remembers it, so that every run can check it survived.
  void AddMovie(const std::string& relative, const Bytes& bytes = SmallMovie()) {
    dir_.WriteFile(relative, bytes);
    inputs_.emplace_back(relative, std::string(bytes.begin(), bytes.end()));
  }
  RunResult Run(const std::vector<std::string>& args, uint64_t limit = test::kNoFileSizeLimit) {
    RunResult result = test::RunProgram(QUILLON_EXE, dir_.path(), args, limit);
    for (const auto& [relative, bytes] : inputs_) {
      EXPECT_EQ(dir_.ReadFile(relative), bytes) << relative << " changed";
    }
    return result;
  }

  test::ScratchDir dir_;
  std::vector<std::pair<std::string, std::string>> inputs_;
};

TEST_F(RunTest, WrongArgumentCountsShowTheUsageAndCreateNothing) {
  AddMovie("m.dxr");
  for (const auto& args : std::vector<std::vector<std::string>>{
           {}, {"m.dxr"}, {"m.dxr", "f", "o", "extra"}}) {
    const RunResult result = Run(args);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.output, kBanner + kUsage);
    EXPECT_EQ(dir_.ListFiles(), std::vector<std::string>{"m.dxr"});
  }
}

TEST_F(RunTest, AWholeRunPrintsProgressAndWritesTheOutputAndTheLog) {
  AddMovie("m.dxr");
  dir_.WriteFile("f/m-000005.BITD", std::string("NEW!\x02\0\0\0xy", 10));
  const RunResult result = Run({"m.dxr", "f"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output, kBanner + ProgressLine("f/m-000003.STXT") +
                               ProgressLine("f/m-000005.BITD") +
                               "Writing resulting cast Out/m.dxr...\n\nJob OK!!!\n");
  EXPECT_EQ(dir_.ReadFile("Out/m.log"),
            "Frame 0005 was substituted from file f/m-000005.BITD...\n");
  const std::string out = dir_.ReadFile("Out/m.dxr");
  EXPECT_EQ(out.substr(76 + 160), std::string("TXTS\4\0\0\0textNEW!\x02\0\0\0xy", 22));
}

TEST_F(RunTest, NamesFollowTheStoredSpellingAndTheLastDot) {
  AddMovie("Movies/Intro.DXR");
  AddMovie("a.b.dxr");
  AddMovie("noext");
  EXPECT_EQ(Run({"Movies/intro.dxr", "f", "o1"}).exit_code, 0);
  EXPECT_EQ(dir_.ListFiles("o1"), (std::vector<std::string>{"Intro.DXR", "Intro.log"}));
  EXPECT_EQ(Run({"a.b.dxr", "f", "o2"}).exit_code, 0);
  EXPECT_EQ(dir_.ListFiles("o2"), (std::vector<std::string>{"a.b.dxr", "a.b.log"}));
  EXPECT_EQ(Run({"noext", "f", "o3"}).exit_code, 0);
  EXPECT_EQ(dir_.ListFiles("o3"), (std::vector<std::string>{"noext", "noext.log"}));
}

TEST_F(RunTest, CreatesNestedOutputFoldersAndReplacesAnEarlierRun) {
  AddMovie("m.dxr");
  dir_.WriteFile("x/y/z/m.dxr", "older output");
  dir_.WriteFile("x/y/z/m.log", "older log");
  EXPECT_EQ(Run({"m.dxr", "f", "a/b/c"}).exit_code, 0);
  EXPECT_EQ(dir_.ListFiles("a/b/c"), (std::vector<std::string>{"m.dxr", "m.log"}));
  EXPECT_EQ(Run({"m.dxr", "f", "x/y/z"}).exit_code, 0);
  EXPECT_EQ(dir_.ReadFile("x/y/z/m.dxr"), dir_.ReadFile("a/b/c/m.dxr"));
  EXPECT_EQ(dir_.ReadFile("x/y/z/m.log"), "");
}

TEST_F(RunTest, InputsThatCannotBeUsedEndTheRunAfterTheOutputFolderIsMade) {
  Bytes not_a_movie = SmallMovie();
  not_a_movie[0] = 'R';
  Bytes broken_map = SmallMovie();
  broken_map[test::kUsedCountOffset] = 9;
  AddMovie("bad.dxr", not_a_movie);
  AddMovie("map.dxr", broken_map);
  AddMovie("empty.dxr", {});
  struct Case {
    std::string input;
    std::string message;
  };
  const Case cases[] = {
      {"missing.dxr", "Cannot Open File missing.dxr!!!"},
      {"empty.dxr", "Cannot Open File empty.dxr!!!"},
      {"bad.dxr", "Unknown file format bad.dxr!!!\n"},
      {"map.dxr", "Unknown file format map.dxr!!!\n"},
  };
  for (const Case& c : cases) {
    const std::string out = "out-" + c.input;
    const RunResult result = Run({c.input, "f", out});
    EXPECT_EQ(result.exit_code, 1) << c.input;
    EXPECT_EQ(result.output, kBanner + c.message) << c.input;
    EXPECT_TRUE(dir_.Exists(out)) << c.input;
    EXPECT_TRUE(dir_.ListFiles(out).empty()) << c.input;
  }
}

TEST_F(RunTest, NeverWritesOverTheInputHoweverItIsSpelled) {
  AddMovie("d/m.dxr");
  std::filesystem::create_directory(dir_.path() + "/o");
  std::filesystem::create_symlink(dir_.path() + "/d/m.dxr", dir_.path() + "/o/m.log");
  for (const std::string& out_dir : {std::string("d"), std::string("./d"), dir_.path() + "/d"}) {
    const RunResult result = Run({"d/m.dxr", "f", out_dir});
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.output, kBanner + "Cannot write file " + out_dir + "/m.dxr!!!\n");
  }
  // A log name that leads to the input is refused as well.
  const RunResult result = Run({"d/m.dxr", "f", "o"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.output, kBanner + "Cannot write file o/m.log!!!\n");
}

TEST_F(RunTest, AFullDiskLeavesTheOlderOutputAndNoTemporaryFile) {
  MovieBuilder builder(4);
  builder.AddChunk("TXTS", Bytes(64 * 1024, 'x'));
  AddMovie("m.dxr", builder.Build());
  dir_.WriteFile("Out/m.dxr", "older output");
  const RunResult result = Run({"m.dxr", "f"}, 16 * 1024);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.output, kBanner + ProgressLine("f/m-000003.STXT") +
                               "Writing resulting cast Out/m.dxr...\nCannot write file Out/m.dxr!!!\n");
  EXPECT_EQ(dir_.ReadFile("Out/m.dxr"), "older output");
  EXPECT_EQ(dir_.ListFiles("Out"), (std::vector<std::string>{"m.dxr", "m.log"}));
}

TEST_F(RunTest, AnOutputBeyondFourGigabytesIsRefused) {
  constexpr uint32_t kEntries = 4100;  // each sharing one chunk of 1 MiB
  MovieBuilder builder(kEntries + 4);
  const uint32_t big = builder.AddChunk("DTIB", Bytes(1 << 20, 7), 1);
  for (uint32_t i = 0; i < kEntries; ++i) builder.AddEntry("DTIB", 1 << 20, builder.EntryOffset(big));
  AddMovie("m.dxr", builder.Build());
  dir_.WriteFile("Out/m.dxr", "older output");
  dir_.WriteFile("f/m-000003.BITD", "12345678");  // flagged: never looked at
  const RunResult result = Run({"m.dxr", "f"});
  EXPECT_EQ(result.exit_code, 1);
  const std::string tail =
      "Writing resulting cast Out/m.dxr...\nResulting cast Out/m.dxr would exceed 4 GB!!!\n";
  ASSERT_GE(result.output.size(), tail.size());
  EXPECT_EQ(result.output.substr(result.output.size() - tail.size()), tail);
  EXPECT_EQ(dir_.ReadFile("Out/m.dxr"), "older output");
}

}  // namespace
}  // namespace quillon
