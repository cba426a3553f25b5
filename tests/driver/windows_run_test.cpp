// Quillon.exe run end to end as a Windows console would run it: backslashes in every composed
// path, CR LF line ends on standard output and in the log, and the Windows file system's rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "fixtures/movie_builder.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tool_run.h"

namespace quillon {
namespace {

using test::Bytes;
using test::MovieBuilder;

const std::string kBanner = "Quillon v1.1.\r\n";

// Entries 3 (live) and 4 (live, odd length).
Bytes SmallMovie() {
  MovieBuilder builder(6);
  builder.AddChunk("TXTS", {'t', 'e', 'x', 't'});
  builder.AddChunk("DTIB", {1, 2, 3});
  return builder.Build();
}

class WindowsRunTest : public testing::Test {
 protected:
  void SetUp() override {
    const Bytes movie = SmallMovie();
    movie_ = std::string(movie.begin(), movie.end());
  }
  test::RunResult Run(const std::vector<std::string>& args) {
    return test::RunProgram(QUILLON_EXE, dir_.path(), args);
  }
  std::string Path(const std::string& relative) const { return dir_.path() + "\\" + relative; }

  test::ScratchDir dir_;
  std::string movie_;
};

TEST_F(WindowsRunTest, RedirectedOutputHoldsTheTextsAloneWithCrLf) {
  const test::RunResult result = Run({"only-one"});
  EXPECT_EQ(result.exit_code, 1);
  // No console behind the pipe: no attribute is set and nothing but the texts arrives.
  EXPECT_EQ(result.output,
            kBanner +
                "Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\r\n"
                "Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\r\n"
                "Option: --codepage=N (before InFile): the code page of the texts, 1252 if not "
                "given (10000 in a Mac movie)\r\n");
}

TEST_F(WindowsRunTest, NamesTakeTheStoredSpellingAndPathsJoinWithBackslashes) {
  dir_.WriteFile("Movies\\Intro.DXR", movie_);
  dir_.WriteFile("new\\Intro-000004.BITD", std::string("DTIB\x01\0\0\0z", 9));
  const test::RunResult result = Run({"Movies/intro.dxr", "new"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output,
            kBanner +
                "Replaced 1 chunks; 0 files unchanged; 0 files could not be used (see "
                "Out\\Intro.log).\r\nWriting resulting cast Out\\Intro.DXR...\r\n\r\n"
                "Job OK!!!\r\n");
  EXPECT_EQ(dir_.ListFiles("Out"), (std::vector<std::string>{"Intro.DXR", "Intro.log"}));
  // The log is a text file: each line ends with CR LF.
  EXPECT_EQ(dir_.ReadFile("Out\\Intro.log"),
            "Frame 0004 was substituted from file new\\Intro-000004.BITD...\r\n");
  EXPECT_EQ(dir_.ReadFile("Movies\\Intro.DXR"), movie_);
}

TEST_F(WindowsRunTest, NestedOutputFoldersAreCreatedWhicheverSlashIsTyped) {
  dir_.WriteFile("m.dxr", movie_);
  const test::RunResult result = Run({"m.dxr", "f", "a\\b/c"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output.substr(result.output.find("Writing")),
            "Writing resulting cast a\\b/c\\m.dxr...\r\n\r\nJob OK!!!\r\n");
  EXPECT_EQ(dir_.ListFiles("a\\b\\c"), (std::vector<std::string>{"m.dxr", "m.log"}));
}

TEST_F(WindowsRunTest, AnOlderOutputIsReplacedOrKeptWholeWhenItCannotBe) {
  dir_.WriteFile("m.dxr", movie_);
  dir_.WriteFile("Out\\m.dxr", "older output");
  {
    // Another program holds the older output open without sharing.
    const HANDLE held = CreateFileA(Path("Out\\m.dxr").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const test::RunResult result = Run({"m.dxr", "f"});
    CloseHandle(held);
    EXPECT_EQ(result.exit_code, 1);
    EXPECT_EQ(result.output.substr(result.output.find("Writing")),
              "Writing resulting cast Out\\m.dxr...\r\n"
              "Cannot write file Out\\m.dxr: Permission denied!!!\r\n");
    EXPECT_EQ(dir_.ReadFile("Out\\m.dxr"), "older output");
    EXPECT_EQ(dir_.ListFiles("Out"), (std::vector<std::string>{"m.dxr", "m.log"}));
  }
  EXPECT_EQ(Run({"m.dxr", "f"}).exit_code, 0);
  const std::string replaced = dir_.ReadFile("Out\\m.dxr");
  EXPECT_EQ(replaced.substr(0, 4), "XFIR");
  EXPECT_EQ(dir_.ListFiles("Out"), (std::vector<std::string>{"m.dxr", "m.log"}));
}

TEST_F(WindowsRunTest, OutputNamingTheInputIsRefusedHoweverSpelled) {
  dir_.WriteFile("d\\m.dxr", movie_);
  for (const std::string out_dir : {"D", "d\\", ".\\d", "d\\..\\D"}) {
    const test::RunResult result = Run({"d\\m.dxr", "f", out_dir});
    EXPECT_EQ(result.exit_code, 1) << out_dir;
    EXPECT_EQ(result.output,
              kBanner + "Cannot write file " + out_dir + "\\m.dxr: it is the input movie!!!\r\n")
        << out_dir;
    EXPECT_EQ(dir_.ReadFile("d\\m.dxr"), movie_) << out_dir;
  }
  EXPECT_EQ(dir_.ListFiles("d"), std::vector<std::string>{"m.dxr"});
}

// Windows's own errors told in the words POSIX systems use, so that both print the same texts
// as far as they can; a folder is told as one, not as the access Windows denies.
TEST_F(WindowsRunTest, MessagesSayWhyInTheWordsOfLinux) {
  dir_.WriteFile("m.dxr", movie_);
  dir_.WriteFile("empty.dxr", "");
  dir_.WriteFile("a\\m.log\\inner", "");
  dir_.WriteFile("b\\m.dxr\\inner", "");
  dir_.WriteFile("c", "a file where a folder would go");
  dir_.WriteFile("d.dxr\\inner", "");  // named like a movie: not taken as a folder of movies
  const struct {
    std::vector<std::string> args;
    std::string ending;  // of the output
  } cases[] = {
      {{"missing.dxr", "f"}, "Cannot Open File missing.dxr: No such file or directory!!!\r\n"},
      {{"d.dxr", "f"}, "Cannot Open File d.dxr: it is a folder!!!\r\n"},
      {{"empty.dxr", "f"}, "Cannot Open File empty.dxr: empty file!!!\r\n"},
      {{"m.dxr", "f", "a"}, "Cannot write file a\\m.log: it is a folder!!!\r\n"},
      {{"m.dxr", "f", "b"}, "Cannot write file b\\m.dxr: it is a folder!!!\r\n"},
      // Windows finds no path where POSIX finds no folder ("Not a directory").
      {{"m.dxr", "f", "c\\d"}, "Cannot write file c\\d\\m.log: No such file or directory!!!\r\n"},
      {{"m.dxr", "f", "--codepage=1251"}, "movie)\r\nUnknown option --codepage=1251!!!\r\n"},
  };
  for (const auto& c : cases) {
    const test::RunResult result = Run(c.args);
    EXPECT_EQ(result.exit_code, 1) << c.ending;
    EXPECT_EQ(result.output.substr(result.output.size() - std::min(result.output.size(),
                                                                   c.ending.size())),
              c.ending);
  }
}

// The movie followed by zeros up to 4 GiB + 100 bytes, kept sparse; false when the disk refuses.
bool WriteSparseMovie(const std::string& path, const std::string& movie) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD ignored = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = (LONGLONG{1} << 32) + 100;
  const bool made = WriteFile(file, movie.data(), static_cast<DWORD>(movie.size()), &ignored,
                              nullptr) != 0 &&
                    SetFilePointerEx(file, end, nullptr, FILE_BEGIN) != 0 &&
                    SetEndOfFile(file) != 0;
  CloseHandle(file);
  return made;
}

TEST_F(WindowsRunTest, AMovieLargerThan4GiBIsRefusedCleanly) {
  // Read through the low 32 bits of its size, the file would pass as the 100-byte start of a
  // movie; its whole size is longer than any container can be.
  if (!WriteSparseMovie(Path("huge.dxr"), movie_)) GTEST_SKIP() << "no sparse file here";
  const test::RunResult result = Run({"huge.dxr", "f"});
  DeleteFileA(Path("huge.dxr").c_str());
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.output, kBanner + "Unknown file format huge.dxr!!!\r\n");
  EXPECT_EQ(dir_.ListFiles("Out"), std::vector<std::string>{});
}

// A folder of movies: paths joined with backslashes, a movie in a subfolder, letter case
// of the extension ignored, lines with CR LF.
TEST_F(WindowsRunTest, AFolderOfMoviesRunsWithBackslashes) {
  dir_.WriteFile("game\\GAME.DIR", movie_);
  dir_.WriteFile("game\\sub\\game.cxt", movie_);
  dir_.WriteFile("game\\sub\\GAME.Dxr", std::string("not a movie"));
  const test::RunResult result = Run({"--jobs=2", "game\\", "files", "out"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output, kBanner +
                               "OK    game\\GAME.DIR: 0 replaced, 0 unchanged, 0 refused\r\n"
                               "SKIPPED game\\sub\\GAME.Dxr: not a movie or cast\r\n"
                               "OK    game\\sub\\game.cxt: 0 replaced, 0 unchanged, 0 refused\r\n"
                               "2 movies: 2 OK, 0 failed (see out)\r\n");
  EXPECT_FALSE(dir_.ReadFile("out\\GAME.DIR").empty());
  EXPECT_EQ(dir_.ReadFile("out\\sub\\game.cxt"), dir_.ReadFile("out\\GAME.DIR"));
  EXPECT_TRUE(dir_.Exists("out\\GAME.log") && dir_.Exists("out\\sub\\game.log"));
}

}  // namespace
}  // namespace quillon
