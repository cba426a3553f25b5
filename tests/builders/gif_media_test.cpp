#include "builders/gif_media.h"

#include <filesystem>

#include "tests/builders/cast_builders_fixture.h"
#include "util/paths.h"

namespace quillon::test {
namespace {

using GifSubstitutionTest = CastBuildersTest;

TEST_F(GifSubstitutionTest, TakesTheWholeFileAsTheXmedData) {
  files_.WriteFile("movie-000012.gif", std::string("GIF87a anything\x00\xFF", 17));
  Import(kTypeMedia, {12, 0, 5, {}});
  EXPECT_EQ(HeldHeader(5), "DEMX 17");
  const std::vector<uint8_t> data = HeldData(5);
  EXPECT_EQ(std::string(data.begin(), data.end()), std::string("GIF87a anything\x00\xFF", 17));
  EXPECT_EQ(LogText(), "");
}

TEST_F(GifSubstitutionTest, MakesAnEmptyChunkFromAnEmptyFile) {
  files_.WriteFile("movie-000001.gif", "");
  Import(kTypeMedia, {1, 0, 3, {}});
  EXPECT_EQ(HeldHeader(3), "DEMX 0");
}

TEST_F(GifSubstitutionTest, LeavesTheSlotAloneWithoutItsFile) {
  files_.WriteFile("movie-000002.gif", "GIF89a");  // another member's file
  table_.PutReplacement(3, {'D', 'E', 'M', 'X', 0, 0, 0, 0});
  Import(kTypeMedia, {1, 0, 3, {}});
  Import(kTypeMedia, {1, 0, 4, {}});
  EXPECT_EQ(HeldHeader(3), "DEMX 0");
  EXPECT_EQ(HeldHeader(4), "none");
  EXPECT_EQ(LogText(), "");
}

TEST_F(GifSubstitutionTest, ReplacesAHeldChunkWithTheCollisionLine) {
  files_.WriteFile("movie-000001.gif", "GIF89a");
  files_.WriteFile("movie-000002.gif", "GIF89a!!");
  Import(kTypeMedia, {1, 0, 10, {}});
  Import(kTypeMedia, {2, 0, 10, {}});
  EXPECT_EQ(HeldHeader(10), "DEMX 8");
  EXPECT_EQ(LogText(),
            "Frames collision! Frame 000A was alread patched!!! Deleting previous patch...\n");
}

TEST_F(GifSubstitutionTest, LogsAFileThatCannotBeAChunkAndKeepsTheSlot) {
  // One byte too long for a chunk's 32-bit data length behind its header: a hole, never read.
  files_.WriteFile("movie-000001.gif", "GIF89a");
  std::filesystem::resize_file(files_.path() + "/movie-000001.gif", uint64_t{1} << 32);
  table_.PutReplacement(3, {'D', 'E', 'M', 'X', 0, 0, 0, 0});
  Import(kTypeMedia, {1, 0, 3, {}});
  EXPECT_EQ(HeldHeader(3), "DEMX 0");
  EXPECT_EQ(LogText(), "Cannot use file " + files_.path() + kPathSeparator +
                           "movie-000001.gif: too large!!!\n");
}

}  // namespace
}  // namespace quillon::test
