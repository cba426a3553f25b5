#include "builders/raw_pass.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "builders/chunk.h"
#include "container/cast_members.h"
#include "fixtures/movie_builder.h"
#include "tests/support/recording_sink.h"
#include "tests/support/scratch_dir.h"
#include "util/paths.h"

namespace quillon {
namespace {

using test::Bytes;
using test::MovieBuilder;

// A chunk file: the stored tag, the data's length, the data.
std::string ChunkFile(const std::string& stored_tag, const std::string& data) {
  const auto n = static_cast<uint32_t>(data.size());
  const char length[4] = {static_cast<char>(n), static_cast<char>(n >> 8),
                          static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
  return stored_tag + std::string(length, 4) + data;
}

class RawPassTest : public testing::Test {
 protected:
  // Runs the raw pass over `builder`'s movie with the files of files_ and the stem "movie";
  // returns the console's transcript.
  std::string Run(const MovieBuilder& builder) {
    view_ = builder.Build();
    const MovieView movie(view_.data(), view_.size());
    table_ = std::make_unique<ReplacementTable>(movie.UsedCount());
    sink_ = test::RecordingSink();
    Reporter report(sink_);
    const CastTables tables(movie);
    RawPass({files_, "movie", *table_, report, &tables, {}});
    unchanged_ = report.unchanged_count();
    return sink_.console;
  }
  std::string PathOf(const std::string& name) const { return JoinPath(files_, name); }
  std::string Progress(const std::string& name) const { return "> " + PathOf(name) + "\n"; }
  void AddFile(const std::string& name, const std::string& content) const {
    dir_.WriteFile("f/" + name, content);
  }
  std::string LogText() const { return sink_.log; }

  test::ScratchDir dir_;
  // Short enough that progress lines show whole paths.
  const std::string files_ = dir_.path() + "/f";
  Bytes view_;
  std::unique_ptr<ReplacementTable> table_;
  test::RecordingSink sink_;
  uint32_t unchanged_ = 0;
};

// Only files that exist are shown, so that the progress never names a file that is not there;
// a file that holds the chunk as it is replaces nothing and is counted as unchanged.
TEST_F(RawPassTest, LooksForEveryLiveEntryUnderItsIndexAndType) {
  MovieBuilder builder(12);
  builder.AddChunk("TXTS", {1});                   // 3
  builder.AddFreeEntry();                          // 4
  builder.AddChunk("DTIB", {2}, 1);                // 5, flagged
  builder.AddChunk("*YEK", {3});                   // 6
  builder.AddChunk("CB/A", {4});                   // 7: type A/BC, a subfolder
  builder.AddChunk(std::string("\0DCB", 4), {5});  // 8: type BCD, cut at the zero byte
  builder.AddChunk("\x80,?X", {6});                // 9: type X?,\x80
  builder.AddChunk("TXTS", {7});                   // 10: no file
  AddFile("movie-000003.STXT", ChunkFile("TXTS", "\1"));
  AddFile("movie-000004.free", ChunkFile("eerf", ""));
  AddFile("movie-000005.BITD", ChunkFile("DTIB", "\2"));
  AddFile("movie-000006.KEY_", ChunkFile("*YEK", "\3"));
  AddFile("movie-000007.A/BC", ChunkFile("CB/A", "\4"));
  AddFile("movie-000008.BCD", ChunkFile(std::string("\0DCB", 4), "\5"));
  AddFile("movie-000009.X___", ChunkFile("\x80,?X", "\6"));
  EXPECT_EQ(Run(builder), Progress("movie-000003.STXT") + Progress("movie-000006.KEY_") +
                              Progress(std::string("movie-000007.A") + kPathSeparator + "BC") +
                              Progress("movie-000008.BCD") + Progress("movie-000009.X___"));
  EXPECT_EQ(LogText(), "");
  EXPECT_EQ(unchanged_, 5u);
  for (uint32_t i = 0; i < 11; ++i) EXPECT_FALSE(table_->Has(i)) << i;
}

TEST_F(RawPassTest, TakesFoundFilesWholeAndLogsThem) {
  MovieBuilder builder(30);
  for (int i = 3; i < 26; ++i) builder.AddFreeEntry();
  builder.AddChunk("DTIB", {1, 2});  // 26
  builder.AddChunk("CB/A", {3});     // 27
  const std::string bitmap = ChunkFile("DTIB", std::string(100, 'h'));
  AddFile("movie-000026.BITD", bitmap);
  AddFile("movie-000027.A/BC", ChunkFile("CB/A", "IJ"));
  Run(builder);
  EXPECT_EQ(LogText(), "Frame 001A was substituted from file " + PathOf("movie-000026.BITD") +
                           "...\nFrame 001B was substituted from file " +
                           PathOf(std::string("movie-000027.A") + kPathSeparator + "BC") +
                           "...\n");
  ASSERT_TRUE(table_->Has(26));
  EXPECT_EQ(*table_->Get(26), Chunk(bitmap.begin(), bitmap.end()));
  EXPECT_EQ(table_->Get(27)->size(), 10u);
}

TEST_F(RawPassTest, PassesOverEntriesThatAreNotLiveEvenWithAFile) {
  MovieBuilder builder(6);
  builder.AddFreeEntry();            // 3
  builder.AddChunk("DTIB", {2}, 4);  // 4
  AddFile("movie-000003.free", "12345678");
  AddFile("movie-000004.BITD", "12345678");
  AddFile("movie-000002.mmap", "12345678");
  EXPECT_EQ(Run(builder), "");
  EXPECT_EQ(LogText(), "");
  for (uint32_t i = 0; i < 5; ++i) EXPECT_FALSE(table_->Has(i)) << i;
}

// A file is a chunk only when its header agrees with it and with the entry; any other keeps the
// chunk, with the refusal in the log and on the console.
TEST_F(RawPassTest, RefusesFilesThatAreNoChunkOfTheEntrysType) {
  const struct {
    std::string content;
    const char* refusal;  // null: taken
  } cases[] = {
      {"", "shorter than a frame header"},
      {"TXTS\1\0\0", "shorter than a frame header"},
      {"Film speichern", "header of another type"},
      {ChunkFile("STXT", "ab"), "header of another type"},  // the type, not the stored tag
      {ChunkFile("TXTs", "ab"), "header of another type"},
      {ChunkFile("TXTS", "ab") + "c", "header length is not the file's"},
      {ChunkFile("TXTS", "abc").substr(0, 10), "header length is not the file's"},
      {std::string("TXTS\xF9\xFF\xFF\xFF", 8), "header length is not the file's"},
      {ChunkFile("TXTS", ""), nullptr},
      {ChunkFile("TXTS", "a longer text than the chunk's"), nullptr},
  };
  for (const auto& c : cases) {
    MovieBuilder builder(4);
    builder.AddChunk("TXTS", {1});
    AddFile("movie-000003.STXT", c.content);
    const std::string printed = Run(builder);
    const std::string path = PathOf("movie-000003.STXT");
    if (c.refusal == nullptr) {
      EXPECT_EQ(LogText(), "Frame 0003 was substituted from file " + path + "...\n");
      EXPECT_EQ(printed, Progress("movie-000003.STXT"));
      ASSERT_TRUE(table_->Has(3));
      EXPECT_EQ(*table_->Get(3), Chunk(c.content.begin(), c.content.end()));
      continue;
    }
    const std::string line =
        "Frame 0003 was not substituted from file " + path + ": " + c.refusal + "!!!\n";
    EXPECT_EQ(LogText(), line) << c.content;
    EXPECT_EQ(printed, Progress("movie-000003.STXT") + line) << c.content;
    EXPECT_FALSE(table_->Has(3)) << c.content;
  }
}

TEST_F(RawPassTest, AFolderOfTheNameIsNoReplacement) {
  MovieBuilder builder(4);
  builder.AddChunk("TXTS", {1});
  AddFile("movie-000003.STXT/inner", "12345678");
  Run(builder);
  EXPECT_EQ(LogText(), "");
  EXPECT_FALSE(table_->Has(3));
}

// Types that end in spaces or dots: their files are looked for under the Windows name (the
// spaces and dots dropped) on every system; where the system keeps the exact name apart, a file
// of that name comes first.
TEST_F(RawPassTest, FindsATypeEndingInSpacesOrDotsUnderItsWindowsName) {
  const struct {
    const char* stored_tag;
    const char* windows_name;
    const char* exact_name;  // null: the same file as the Windows name on every system
  } cases[] = {
      {" dns", "movie-000003.snd", "movie-000003.snd "},
      {"..ab", "movie-000003.ba", "movie-000003.ba.."},
      {" . a", "movie-000003.a", "movie-000003.a . "},
      {"DTIB", "movie-000003.BITD", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.windows_name);
    MovieBuilder builder(4);
    builder.AddChunk(c.stored_tag, {1});
    std::filesystem::remove_all(files_);
    AddFile(c.windows_name, ChunkFile(c.stored_tag, "win"));
    EXPECT_EQ(Run(builder), Progress(c.windows_name));
    EXPECT_EQ(LogText(), "Frame 0003 was substituted from file " + PathOf(c.windows_name) +
                             "...\n");
#ifndef _WIN32
    if (c.exact_name == nullptr) continue;
    AddFile(c.exact_name, ChunkFile(c.stored_tag, "exact"));
    Run(builder);
    EXPECT_EQ(LogText(), "Frame 0003 was substituted from file " + PathOf(c.exact_name) +
                             "...\n");
#endif
  }
}

#ifndef _WIN32  // Windows file systems do not tell case apart
// The folder listing only spares opens: a name is found exactly as opening it finds it.
TEST_F(RawPassTest, FindsNamesAsTheOpenDoesWhereCaseAndSubfoldersDiffer) {
  MovieBuilder builder(8);
  builder.AddChunk("TXTS", {1});  // 3
  builder.AddChunk("TXTS", {2});  // 4
  builder.AddChunk("CB/A", {3});  // 5
  builder.AddChunk("CB/A", {4});  // 6
  AddFile("movie-000003.stxt", ChunkFile("TXTS", ""));
  AddFile("MOVIE-000004.STXT", ChunkFile("TXTS", "ABCD"));
  AddFile("movie-000004.STXT", ChunkFile("TXTS", "abcd"));
  AddFile("movie-000005.a/BC", ChunkFile("CB/A", ""));
  AddFile("movie-000006.A/BC", ChunkFile("CB/A", ""));
  // Only the files an open reaches are shown.
  EXPECT_EQ(Run(builder), Progress("movie-000004.STXT") + Progress("movie-000006.A/BC"));
  // A file system that tells case apart opens only the exact spellings.
  EXPECT_EQ(LogText(), "Frame 0004 was substituted from file " + PathOf("movie-000004.STXT") +
                           "...\nFrame 0006 was substituted from file " +
                           PathOf("movie-000006.A/BC") + "...\n");
  EXPECT_FALSE(table_->Has(3));
  EXPECT_EQ(*table_->Get(4), Chunk({'T', 'X', 'T', 'S', 4, 0, 0, 0, 'a', 'b', 'c', 'd'}));
  EXPECT_FALSE(table_->Has(5));
}
#endif

TEST(MakeChunkTest, HeaderHoldsTheTagAndTheDataLengthInTheMoviesOrder) {
  const Chunk chunk = MakeChunk("BITD", 0x304, ByteOrder::kLittle);
  ASSERT_EQ(chunk.size(), 0x304u + 8);
  EXPECT_EQ(Chunk(chunk.begin(), chunk.begin() + 8), (Chunk{'D', 'T', 'I', 'B', 0x04, 0x03, 0, 0}));
  EXPECT_EQ(MakeChunk("XMED", 0, ByteOrder::kLittle), (Chunk{'D', 'E', 'M', 'X', 0, 0, 0, 0}));
  const Chunk mac = MakeChunk("BITD", 0x304, ByteOrder::kBig);
  EXPECT_EQ(Chunk(mac.begin(), mac.begin() + 8), (Chunk{'B', 'I', 'T', 'D', 0, 0, 0x03, 0x04}));
}

}  // namespace
}  // namespace quillon
