// The real movies of the public test data, re-laid with no replacements.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <utility>
#include <vector>

#include "container/container_writer.h"
#include "tests/container/mapped_movie.h"
#include "tests/support/scratch_dir.h"
#include "util/byte_reader.h"
#include "util/file_map.h"

namespace quillon {
namespace {

class RealMovieTest : public testing::TestWithParam<const char*> {};

// Where each live entry's chunk lies in the input, in the input's order.
std::vector<std::pair<uint32_t, uint32_t>> LiveChunksInFileOrder(const MovieView& movie) {
  std::vector<std::pair<uint32_t, uint32_t>> placed;
  for (uint32_t i = 0; i < movie.UsedCount(); ++i) {
    if (movie.IsLive(i)) placed.emplace_back(movie.Entry(i).offset, i);
  }
  std::sort(placed.begin(), placed.end());
  return placed;
}

// Director laid them out: every chunk at an even offset, each of odd length followed by a pad
// byte. Re-laid, they keep that layout with each chunk as it was, in the input's order, read
// through the current map wherever the imap points; the output's map is at 44.
TEST_P(RealMovieTest, EveryLiveChunkIsCarriedAtAnEvenOffsetAndTheMapPointsAtIt) {
  const std::string path = std::string(QUILLON_TESTDATA_DIR) + "/" + GetParam();
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is absent";
  const FileMapping original = MapFileReadOnly(path);
  FileMapping view = MapFileCopyOnWrite(path);
  ASSERT_TRUE(original.valid() && view.valid());
  ASSERT_TRUE(CheckContainer(view.view, view.size));

  test::ScratchDir dir;
  MovieView movie(view.view, view.size);
  ReplacementTable table(movie.UsedCount());
  ASSERT_EQ(WriteContainer(movie, table, dir.path() + "/out.dir"), WriteStatus::kWritten);
  const std::string text = dir.ReadFile("out.dir");
  const auto* out = reinterpret_cast<const uint8_t*>(text.data());
  const MovieView input(original.view, original.size);
  const MovieView output(const_cast<uint8_t*>(out), text.size());

  ASSERT_TRUE(CheckContainer(out, text.size()));
  EXPECT_TRUE(output.IsCompacted());
  EXPECT_EQ(output.UsedCount(), input.UsedCount());
  EXPECT_EQ(LoadU32(out + 4, input.order()), text.size() - 8);
  size_t expected_offset = input.HeaderRegionLength();
  const auto live = LiveChunksInFileOrder(input);
  for (const auto& [input_offset, i] : live) {
    const MapEntry before = input.Entry(i);
    const MapEntry after = output.Entry(i);
    EXPECT_EQ(after.length, before.length) << i;
    ASSERT_EQ(after.offset, expected_offset) << i;
    EXPECT_EQ(0, std::memcmp(out + after.offset, original.view + input_offset, before.length + 8))
        << "chunk " << i;
    expected_offset += before.length + 8 + before.length % 2;
  }
  EXPECT_EQ(expected_offset, text.size());
  EXPECT_GT(live.size(), 5u);
  FileMapping unmapped = original;
  UnmapFile(unmapped);
  UnmapFile(view);
}

TEST_P(RealMovieTest, EveryCopyPathWritesTheSameBytes) {
  const std::string path = std::string(QUILLON_TESTDATA_DIR) + "/" + GetParam();
  if (!std::filesystem::exists(path)) GTEST_SKIP() << path << " is absent";
  const FileMapping original = MapFileReadOnly(path);
  ASSERT_TRUE(original.valid());
  const test::Bytes input(original.view, original.view + original.size);
  FileMapping unmapped = original;
  UnmapFile(unmapped);

  test::ScratchDir dir;
  std::string first_output;
  for (const test::CopyPath copy_path : {test::CopyPath::kFromMemory, test::CopyPath::kKernelCopy,
                                         test::CopyPath::kBufferedCopy,
                                         test::CopyPath::kRefusedCopy}) {
    if (!test::CopyPathAvailable(copy_path, dir.path())) continue;
    test::MappedMovie movie;
    ASSERT_TRUE(movie.Load(input, copy_path, dir.path()));
    MovieView view = movie.View();
    ReplacementTable table(view.UsedCount());
    const std::string name = test::CopyPathName(copy_path) + ".dir";
    ASSERT_EQ(WriteContainer(view, table, dir.path() + "/" + name, movie.Options()),
              WriteStatus::kWritten);
    const std::string output = dir.ReadFile(name);
    if (first_output.empty()) first_output = output;
    EXPECT_TRUE(output == first_output) << test::CopyPathName(copy_path);
  }
  // A compacted movie whose chunks lie back to back comes out as it went in; the two with
  // empty junk chunks between theirs and those saved without compacting do not.
  const std::string name = GetParam();
  const bool has_gaps_or_stale_map = name.find("images") != std::string::npos ||
                                     name.find("palettes") != std::string::npos ||
                                     name.find("uncompacted") != std::string::npos;
  EXPECT_EQ(first_output == std::string(input.begin(), input.end()), !has_gaps_or_stale_map);
}

INSTANTIATE_TEST_SUITE_P(Movies, RealMovieTest,
                         testing::Values("movies/images.dir", "movies/palettes.dir",
                                         "movies/INK1B-1.DIR", "movies/INK8COL.DIR",
                                         "movies/saving_text_d5_win.dir",
                                         "movies-with-sound/SOFT1.DXR", "mac/AppleGame.dir",
                                         "mac/saving_bitmap_d5_mac.dir",
                                         "movies-with-sound/d4sn0001.DIR",
                                         "uncompacted/INK1B-8.DIR",
                                         "uncompacted/TEXTWRAP.DIR"));

}  // namespace
}  // namespace quillon
