#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/support/scratch_dir.h"
#include "util/known_files.h"

namespace quillon {
namespace {

// The listing keeps the names as stored and leaves folders out; the case-blind file system then
// lets any spelling of a listed name through.
TEST(KnownFilesWin32Test, ListsRegularFilesAsStored) {
  test::ScratchDir dir;
  dir.WriteFile("f/Movie-000003.STXT", "x");
  dir.WriteFile("f/movie-000008.DIR_/inner", "x");
  std::set<std::string> names;
  ASSERT_EQ(ListRegularFiles(dir.path() + "\\f\\", names), ListFolderStatus::kListed);
  EXPECT_EQ(names, std::set<std::string>{"Movie-000003.STXT"});
  names.clear();
  EXPECT_EQ(ListRegularFiles(dir.path() + "\\g\\", names), ListFolderStatus::kMissing);
  EXPECT_TRUE(names.empty());

  KnownFiles known;
  const std::string f = dir.path() + "\\f\\";
  EXPECT_TRUE(known.MayExist(f + "MOVIE-000003.stxt"));
  EXPECT_FALSE(known.MayExist(f + "movie-000009.STXT"));
  EXPECT_FALSE(known.MayExist(f + "movie-000008.DIR_"));
}

TEST(KnownFilesWin32Test, AnEmptyFolderIsListedEmpty) {
  test::ScratchDir dir;
  dir.WriteFile("e/sub/inner", "x");
  std::set<std::string> names;
  EXPECT_EQ(ListRegularFiles(dir.path() + "\\e\\", names), ListFolderStatus::kListed);
  EXPECT_TRUE(names.empty());
}

}  // namespace
}  // namespace quillon
