// The `quillon` executable run end to end in a scratch folder, as a user would run it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>

#include "fixtures/movie_builder.h"
#include "tests/support/scratch_dir.h"
#include "tests/support/tool_run.h"

namespace quillon {
namespace {

using test::Bytes;
using test::MovieBuilder;
using test::RunResult;

const std::string kBanner = "Quillon v1.1.\n";
const std::string kUsage =
    "Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\n"
    "Syntax: \"Quillon.exe\" <s:InFile.DXR> <s:FilesDir> [s:OutDir=\"Out\"]\n"
    "Option: --codepage=N (before InFile): the code page of the texts, 1252 if not given (10000 "
      "in a Mac movie)\n";

// Entries 3 (live), 4 (free), 5 (live, odd length).
Bytes SmallMovie(ByteOrder order = ByteOrder::kLittle) {
  MovieBuilder builder(8, true, order);
  builder.AddChunk("TXTS", {'t', 'e', 'x', 't'});
  builder.AddFreeEntry();
  builder.AddChunk("DTIB", {1, 2, 3});
  return builder.Build();
}

// Cast 1 is a bitmap member of `depth` bits and 4 x 4 pixels owning entry 4, its BITD chunk.
Bytes OneBitmapMovie(uint8_t depth) {
  MovieBuilder builder(8);
  test::BitmapMemberFields fields;
  fields.right = 4;
  fields.bottom = 4;
  fields.depth = depth;
  const uint32_t member = builder.AddChunk("tSAC", MovieBuilder::BitmapMember(fields));
  const uint32_t bitd = builder.AddChunk("DTIB", {0x42});
  builder.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
  builder.AddChunk("*YEK", MovieBuilder::KeyTable({{bitd, member, "DTIB"}}));
  return builder.Build();
}

// The line before "Writing resulting cast".
std::string Summary(int replaced, int refused, int unchanged = 0) {
  return "Replaced " + std::to_string(replaced) + " chunks; " + std::to_string(unchanged) +
         " files unchanged; " + std::to_string(refused) +
         " files could not be used (see Out/m.log).\n";
}

class RunTest : public testing::Test {
 protected:
  // Puts the movie at `relative` and remembers it, so that every run can check it survived.
  void AddMovie(const std::string& relative, const Bytes& bytes = SmallMovie()) {
    dir_.WriteFile(relative, bytes);
    inputs_.emplace_back(relative, std::string(bytes.begin(), bytes.end()));
  }
  RunResult Run(const std::vector<std::string>& args, uint64_t limit = test::kNoFileSizeLimit,
                uint64_t memory_limit = test::kNoAddressSpaceLimit) {
    RunResult result = test::RunProgram(QUILLON_EXE, dir_.path(), args, limit, memory_limit);
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

// Options go in front of the file names, "--codepage" with "=", and "--overwrite" belongs to the
// export: anything else that looks like an option is refused after the usage.
TEST_F(RunTest, OptionsOutOfPlaceOrUnknownAreRefusedAfterTheUsage) {
  AddMovie("m.dxr");
  const struct {
    std::vector<std::string> args;
    const char* option;
  } cases[] = {
      {{"m.dxr", "f", "--codepage=1251"}, "--codepage=1251"},
      {{"--codepage", "1251", "m.dxr", "f"}, "--codepage"},
      {{"--overwrite", "m.dxr", "f"}, "--overwrite"},
      {{"--codepage=1251", "--cp=1", "m.dxr", "f"}, "--cp=1"},
      {{"m.dxr", "--help"}, "--help"},
  };
  for (const auto& c : cases) {
    const RunResult result = Run(c.args);
    EXPECT_EQ(result.exit_code, 1) << c.option;
    EXPECT_EQ(result.output, kBanner + kUsage + "Unknown option " + c.option + "!!!\n");
    EXPECT_EQ(dir_.ListFiles(), std::vector<std::string>{"m.dxr"});
  }
}

TEST_F(RunTest, AWholeRunPrintsProgressAndWritesTheOutputAndTheLog) {
  AddMovie("m.dxr");
  dir_.WriteFile("f/m-000005.BITD", std::string("DTIB\x02\0\0\0xy", 10));
  const RunResult result = Run({"m.dxr", "f"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.output, kBanner + Summary(1, 0) +
                               "Writing resulting cast Out/m.dxr...\n\nJob OK!!!\n");
  EXPECT_EQ(dir_.ReadFile("Out/m.log"),
            "Frame 0005 was substituted from file f/m-000005.BITD...\n");
  const std::string out = dir_.ReadFile("Out/m.dxr");
  EXPECT_EQ(out.substr(76 + 160), std::string("TXTS\4\0\0\0textDTIB\x02\0\0\0xy", 22));
}

// A Mac movie (big-endian, its tags in reading order) is re-laid as one, and takes a raw chunk
// file only in its own byte order: the same chunk as a Windows movie stores it is refused.
TEST_F(RunTest, AMacMovieTakesChunkFilesInItsOwnByteOrder) {
  AddMovie("mac.dxr", SmallMovie(ByteOrder::kBig));
  dir_.WriteFile("f/mac-000003.STXT", std::string("TXTS\4\0\0\0TEXT", 12));
  dir_.WriteFile("f/mac-000005.BITD", std::string("BITD\0\0\0\2xy", 10));
  const RunResult result = Run({"mac.dxr", "f"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(dir_.ReadFile("Out/mac.log"),
            "Frame 0003 was not substituted from file f/mac-000003.STXT: header of another "
            "type!!!\nFrame 0005 was substituted from file f/mac-000005.BITD...\n");
  const std::string out = dir_.ReadFile("Out/mac.dxr");
  EXPECT_EQ(out.substr(0, 4), "RIFX");
  EXPECT_EQ(out.substr(76 + 160), std::string("STXT\0\0\0\4textBITD\0\0\0\2xy", 22));
  EXPECT_EQ(LoadU32Be(reinterpret_cast<const uint8_t*>(out.data()) + 4), out.size() - 8);
}

// What used to end "Job OK!!!" without a word: each refused file is shown where it is refused,
// and the summary says how little was replaced. The movie is still written, with exit code 0.
// Files that look like the movie's but that no pass reads are named; a folder of another movie's
// files is said to be one.
TEST_F(RunTest, FilesThatMatchNothingAreNamed) {
  const struct {
    std::vector<std::string> files;
    std::string console;  // between the banner and the summary
    std::string log;
  } cases[] = {
      {{"m-000099.BITD", "m-000003.STXT.txt", "m-000005.png", "m.csv", "other.txt"},
       "3 files in f match nothing in this movie (first: f/m-000003.STXT.txt)\n",
       "Not used: f/m-000003.STXT.txt\nNot used: f/m-000005.png\nNot used: f/m-000099.BITD\n"},
      {{"Intro-000003.STXT", "notes.txt"},
       "No file in f starts with m, the name of this movie\n",
       "No file in f starts with m, the name of this movie\n"},
      {{"m-000003.STXT/inner"}, "1 files in f match nothing in this movie (first: "
       "f/m-000003.STXT/inner)\n", "Not used: f/m-000003.STXT/inner\n"},
      {{}, "", ""},
  };
  AddMovie("m.dxr");
  for (const auto& c : cases) {
    std::filesystem::remove_all(dir_.path() + "/f");
    std::filesystem::create_directories(dir_.path() + "/f");
    for (const std::string& name : c.files) dir_.WriteFile("f/" + name, "x");
    const RunResult result = Run({"m.dxr", "f"});
    EXPECT_EQ(result.exit_code, 0);
    EXPECT_EQ(result.output, kBanner + c.console + Summary(0, 0) +
                                 "Writing resulting cast Out/m.dxr...\n\nJob OK!!!\n");
    EXPECT_EQ(dir_.ReadFile("Out/m.log"), c.log);
  }
}

TEST_F(RunTest, RefusedFilesAreShownOnTheConsoleAndCountedInTheSummary) {
  AddMovie("m.dxr", OneBitmapMovie(8));
  dir_.WriteFile("f/m-000003.CASt", "Film speichern");      // a text where a chunk belongs
  dir_.WriteFile("f/m-000001-8.bmp", "\x89PNG\r\n\x1a\n");  // a PNG under a BMP's name
  const RunResult result = Run({"m.dxr", "f"});
  EXPECT_EQ(result.exit_code, 0);
  const std::string raw_refusal =
      "Frame 0003 was not substituted from file f/m-000003.CASt: header of another type!!!\n";
  const std::string image_refusal =
      "Cannot use file f/m-000001-8.bmp: no BMP signature (a PNG? save as BMP)!!!\n";
  EXPECT_EQ(result.output, kBanner + raw_refusal + image_refusal +
                               Summary(0, 2) +
                               "Writing resulting cast Out/m.dxr...\n\nJob OK!!!\n");
  EXPECT_EQ(dir_.ReadFile("Out/m.log"),
            raw_refusal + "Cast 000001->(0003:0004): BITD=4x4x8\n" + image_refusal);
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
  EXPECT_EQ(dir_.ReadFile("x/y/z/m.log"), "Folder f does not exist: nothing is replaced\n");
}

TEST_F(RunTest, InputsThatCannotBeUsedEndTheRunAfterTheOutputFolderIsMade) {
  Bytes not_a_movie = SmallMovie();
  not_a_movie[0] = 'R';
  Bytes broken_map = SmallMovie();
  broken_map[test::kUsedCountOffset] = 9;
  Bytes compressed = SmallMovie();
  std::copy_n("MDGF", 4, compressed.begin() + test::kFormTypeOffset);
  Bytes truncated = SmallMovie();
  truncated.resize(50);
  Bytes map_outside = SmallMovie();
  map_outside[26] = 1;  // the imap's pointer to the map: 0x1002C
  Bytes chunk_outside = SmallMovie();
  chunk_outside[test::EntryFieldOffset(3, 4) + 1] = 1;
  AddMovie("bad.dxr", not_a_movie);
  AddMovie("map.dxr", broken_map);
  AddMovie("empty.dxr", {});
  AddMovie("m.dcr", compressed);
  AddMovie("cut.dxr", truncated);
  AddMovie("far.dxr", map_outside);
  AddMovie("long.dxr", chunk_outside);
  std::filesystem::create_directory(dir_.path() + "/folder.dxr");
  ASSERT_EQ(mkfifo((dir_.path() + "/pipe.dxr").c_str(), 0600), 0);
  struct Case {
    std::string input;
    std::string message;
  };
  const Case cases[] = {
      {"missing.dxr", "Cannot Open File missing.dxr: No such file or directory!!!\n"},
      {"empty.dxr", "Cannot Open File empty.dxr: empty file!!!\n"},
      {"folder.dxr", "Cannot Open File folder.dxr: it is a folder!!!\n"},
      {"pipe.dxr", "Cannot Open File pipe.dxr: not a regular file!!!\n"},
      {"bad.dxr", "Unknown file format bad.dxr!!!\n"},
      {"map.dxr", "Cannot read map.dxr: damaged movie (map header of another size)!!!\n"},
      {"m.dcr",
       "Cannot read m.dcr: a compressed Shockwave movie, which this tool does not rebuild!!!\n"},
      {"cut.dxr", "Cannot read cut.dxr: damaged movie (truncated)!!!\n"},
      {"far.dxr", "Cannot read far.dxr: damaged movie (map outside the file)!!!\n"},
      {"long.dxr", "Cannot read long.dxr: damaged movie (chunk 0003 outside the file)!!!\n"},
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
    EXPECT_EQ(result.output,
              kBanner + "Cannot write file " + out_dir + "/m.dxr: it is the input movie!!!\n");
  }
  // A log name that leads to the input is refused as well.
  const RunResult result = Run({"d/m.dxr", "f", "o"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.output, kBanner + "Cannot write file o/m.log: it is the input movie!!!\n");
}

// Folders where the log or the output would go, and a folder that cannot be made.
TEST_F(RunTest, OutputsThatCannotBeWrittenSayWhy) {
  AddMovie("m.dxr");
  std::filesystem::create_directories(dir_.path() + "/a/m.log");
  std::filesystem::create_directories(dir_.path() + "/b/m.dxr");
  dir_.WriteFile("c", "a file where the folder would go");
  const struct {
    const char* out_dir;
    std::string message;
  } cases[] = {
      {"a", "Cannot write file a/m.log: it is a folder!!!\n"},
      {"b", "Folder f does not exist: nothing is replaced\n"
            "Replaced 0 chunks; 0 files unchanged; 0 files could not be used (see b/m.log).\n"
            "Writing resulting cast b/m.dxr...\n"
                "Cannot write file b/m.dxr: it is a folder!!!\n"},
      {"c/d", "Cannot write file c/d/m.log: Not a directory!!!\n"},
  };
  for (const auto& c : cases) {
    const RunResult result = Run({"m.dxr", "f", c.out_dir});
    EXPECT_EQ(result.exit_code, 1) << c.out_dir;
    EXPECT_EQ(result.output, kBanner + c.message) << c.out_dir;
  }
}

TEST_F(RunTest, AFullDiskLeavesTheOlderOutputAndNoTemporaryFile) {
  MovieBuilder builder(4);
  builder.AddChunk("TXTS", Bytes(64 * 1024, 'x'));
  AddMovie("m.dxr", builder.Build());
  dir_.WriteFile("Out/m.dxr", "older output");
  const RunResult result = Run({"m.dxr", "f"}, 16 * 1024);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.output,
            kBanner + "Folder f does not exist: nothing is replaced\n" + Summary(0, 0) +
                "Writing resulting cast Out/m.dxr...\n"
                "Cannot write file Out/m.dxr: File too large!!!\n");
  EXPECT_EQ(dir_.ReadFile("Out/m.dxr"), "older output");
  EXPECT_EQ(dir_.ListFiles("Out"), (std::vector<std::string>{"m.dxr", "m.log"}));
}

TEST_F(RunTest, AnOutputBeyondFourGigabytesIsRefused) {
  constexpr uint32_t kEntries = 4100;  // each sharing one chunk of 1 MiB
  MovieBuilder builder(kEntries + 4);
  const uint32_t big = builder.AddChunk("DTIB", Bytes(1 << 20, 7), 1);
  for (uint32_t i = 0; i < kEntries; ++i) {
    builder.AddEntry("DTIB", 1 << 20, builder.EntryOffset(big));
  }
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

constexpr uint64_t kMemoryLimit = uint64_t{192} << 20;

// A file of `length` bytes that starts with `head` and is a hole after it.
void WriteSparseFile(const test::ScratchDir& dir, const std::string& relative, const Bytes& head,
                     uint64_t length) {
  dir.WriteFile(relative, head);
  std::filesystem::resize_file(dir.path() + "/" + relative, length);
}

Bytes LittleEndian(std::initializer_list<std::pair<uint64_t, int>> fields) {
  Bytes bytes;
  for (const auto& [value, size] : fields) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  }
  return bytes;
}

class MemoryLimitTest : public RunTest {
 protected:
  void SetUp() override {
#ifdef QUILLON_ASAN
    GTEST_SKIP() << "address-space limits do not apply under AddressSanitizer";
#endif
  }
  // Runs short of memory; the movie is kept with the log line `expected` right after `after`.
  void ExpectKeptWithLine(const std::string& after, const std::string& expected_prefix) {
    const RunResult result = Run({"m.dxr", "f"}, test::kNoFileSizeLimit, kMemoryLimit);
    EXPECT_EQ(result.exit_code, 0) << result.output;
    const std::string log = dir_.ReadFile("Out/m.log");
    EXPECT_NE(log.find(after + expected_prefix), std::string::npos) << log;
    EXPECT_EQ(log.substr(log.size() - 4), "!!!\n") << log;
    EXPECT_NE(result.output.find("Replaced 0 chunks; 0 files unchanged; 1 files could not be used"),
              std::string::npos);
  }
};

TEST_F(MemoryLimitTest, AnImageTooLargeForMemoryLeavesTheMemberWithItsReason) {
  AddMovie("m.dxr", OneBitmapMovie(32));
  // 16384 x 16384 at 24 bits, top row first: 768 MiB of pixels.
  WriteSparseFile(dir_, "f/m-000001-32.tga",
                  LittleEndian({{0, 2}, {2, 1}, {0, 4}, {0, 1}, {0, 4}, {16384, 2}, {16384, 2},
                                {24, 1}, {0x20, 1}}),
                  18 + uint64_t{16384} * 16384 * 3);
  ExpectKeptWithLine("BITD=4x4x32\n", "Cannot use file f/m-000001-32.tga: ");
}

TEST_F(MemoryLimitTest, ABmpTooLargeForMemoryLeavesTheMemberWithItsReason) {
  AddMovie("m.dxr", OneBitmapMovie(8));
  // 32768 x 32768 at 8 bits with a grey palette: 1 GiB of pixels.
  const uint64_t offset = 14 + 40 + 1024;
  const uint64_t pixels = uint64_t{32768} * 32768;
  Bytes head = LittleEndian({{'B' | 'M' << 8, 2}, {offset + pixels, 4}, {0, 4}, {offset, 4},
                             {40, 4}, {32768, 4}, {32768, 4}, {1, 2}, {8, 2}, {0, 4},
                             {pixels, 4}, {0, 8}, {256, 4}, {0, 4}});
  for (uint32_t i = 0; i < 256; ++i) {
    const Bytes entry = LittleEndian({{i * 0x010101u, 4}});
    head.insert(head.end(), entry.begin(), entry.end());
  }
  WriteSparseFile(dir_, "f/m-000001-8.bmp", head, offset + pixels);
  ExpectKeptWithLine("BITD=4x4x8\n", "Cannot use file f/m-000001-8.bmp: ");
}

TEST_F(MemoryLimitTest, RawAndGifFilesTooLargeForMemoryAreLoggedAndPassedOver) {
  MovieBuilder builder(8);
  builder.AddChunk("TXTS", {'t'});                                                    // 3
  const uint32_t member = builder.AddChunk("tSAC", Bytes(8, 0));                      // 4
  const uint32_t xmed = builder.AddChunk("DEMX", {'G', 'I', 'F', '8', '9', 'a'});    // 5
  builder.AddChunk("*SAC", MovieBuilder::CastTable({{member}}));
  builder.AddChunk("*YEK", MovieBuilder::KeyTable({{xmed, member, "DEMX"}}));
  AddMovie("m.dxr", builder.Build());
  WriteSparseFile(dir_, "f/m-000003.STXT", {'T', 'X', 'T', 'S'}, uint64_t{3} << 29);
  WriteSparseFile(dir_, "f/m-000001.gif", {'G', 'I', 'F'}, uint64_t{1} << 30);
  const RunResult result = Run({"m.dxr", "f"}, test::kNoFileSizeLimit, kMemoryLimit);
  EXPECT_EQ(result.exit_code, 0) << result.output;
  EXPECT_EQ(dir_.ReadFile("Out/m.log"),
            "Frame 0003 was not substituted from file f/m-000003.STXT: out of memory!!!\n"
            "Cannot use file f/m-000001.gif: out of memory!!!\n");
  EXPECT_NE(result.output.find("Replaced 0 chunks; 0 files unchanged; 2 files could not be used"),
            std::string::npos);
}

TEST_F(MemoryLimitTest, AMapTooLargeForMemoryEndsTheRunWithItsMessage) {
  // Five million entries of zeros (live, empty, at offset 0): the map fits in the limit, the
  // replacement table of the run does not.
  constexpr uint32_t kEntries = 5'000'000;
  const uint64_t length = 76 + 20 * uint64_t{kEntries};
  Bytes head = MovieBuilder(3).Build();
  const Bytes counts = LittleEndian({{kEntries, 4}, {kEntries, 4}});
  std::copy(counts.begin(), counts.end(), head.begin() + test::kEntryCapacityOffset);
  const Bytes container_length = LittleEndian({{length - 8, 4}});
  std::copy(container_length.begin(), container_length.end(), head.begin() + 4);
  std::copy(container_length.begin(), container_length.end(),
            head.begin() + static_cast<long>(test::EntryFieldOffset(0, 4)));
  WriteSparseFile(dir_, "m.dxr", head, length);
  const RunResult result = Run({"m.dxr", "f"}, test::kNoFileSizeLimit, kMemoryLimit);
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.output, kBanner + "Not enough memory for m.dxr!!!\n");
  EXPECT_EQ(dir_.ListFiles("Out"), std::vector<std::string>{"m.log"});
  EXPECT_EQ(std::filesystem::file_size(dir_.path() + "/m.dxr"), length);
}

// A system too short of memory to open the code page's conversion is not one that lacks it:
// whatever the cap, the run never calls code page 1252 unknown.
TEST_F(MemoryLimitTest, ACodePageThatCannotBeOpenedForLackOfMemoryIsNotUnknown) {
  AddMovie("m.dxr", MovieBuilder(3).Build());
  for (uint64_t cap = uint64_t{4} << 20; cap <= uint64_t{16} << 20; cap += uint64_t{128} << 10) {
    const RunResult result = Run({"m.dxr", "f"}, test::kNoFileSizeLimit, cap);
    EXPECT_EQ(result.output.find("Unknown code page"), std::string::npos) << cap << result.output;
  }
}

}  // namespace
}  // namespace quillon
