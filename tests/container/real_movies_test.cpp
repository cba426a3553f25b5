// The real movies of the public test data, re-laid with no replacements.
#include <gtest/gtest.h>

#include <filesystem>

#include "container/container_writer.h"
#include "tests/container/mapped_movie.h"
#include "tests/support/scratch_dir.h"
#include "util/byte_reader.h"
#include "util/file_map.h"

namespace quillon {
namespace {

class RealMovieTest : public testing::TestWithParam<const char*> {};

// Director laid them out: every chunk at an even offset, each of odd length followed by a pad
// byte. Re-laid, they keep that layout with each chunk as it was.
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
  EXPECT_EQ(LoadU32(out + 4, input.order()), text.size() - 8);
  size_t live = 0;
  size_t expected_offset = input.HeaderRegionLength();
  for (uint32_t i = 0; i < input.UsedCount(); ++i) {
    const MapEntry before = input.Entry(i);
    const MapEntry after = output.Entry(i);
    EXPECT_EQ(after.length, i == 0 ? text.size() - 8 : before.length) << i;
    if (!input.IsLive(i)) {
      EXPECT_EQ(after.offset, before.offset) << i;
      continue;
    }
    ++live;
    ASSERT_EQ(after.offset, expected_offset) << i;
    EXPECT_EQ(after.offset % 2, 0u) << i;
    EXPECT_EQ(0, std::memcmp(out + after.offset, original.view + before.offset, before.length + 8))
        << "chunk " << i;
    expected_offset += before.length + 8;
    if (before.length % 2 != 0) {
      ASSERT_LT(expected_offset, text.size()) << i;
      EXPECT_EQ(out[expected_offset], 0) << "pad byte of chunk " << i;
      ++expected_offset;
    }
  }
  EXPECT_EQ(expected_offset, text.size());
  EXPECT_GT(live, 10u);
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
    ASSERT_EQ(WriteContainer(view, table, dir.path() + "/" + name), WriteStatus::kWritten);
    const std::string output = dir.ReadFile(name);
    if (first_output.empty()) first_output = output;
    EXPECT_TRUE(output == first_output) << test::CopyPathName(copy_path);
  }
}

INSTANTIATE_TEST_SUITE_P(Movies, RealMovieTest,
                         testing::Values("movies/images.dir", "movies/palettes.dir",
                                         "movies/INK1B-1.DIR", "movies/INK8COL.DIR",
                                         "movies/saving_text_d5_win.dir",
                                         "movies-with-sound/SOFT1.DXR", "mac/AppleGame.dir",
                                         "mac/saving_bitmap_d5_mac.dir"));

}  // namespace
}  // namespace quillon
