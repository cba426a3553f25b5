#include "util/known_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "tests/support/scratch_dir.h"

namespace quillon {
namespace {

// Only a "true" sends the raw pass to the open, so every name that could open must answer true;
// the "false" answers are the opens saved.
TEST(KnownFilesTest, RulesOutOnlyNamesNoOpenCouldReach) {
  test::ScratchDir dir;
  dir.WriteFile("f/movie-000003.STXT", "x");
  dir.WriteFile("f/movie-000007.A/BC", "x");
  dir.WriteFile("f/movie-000008.DIR_/inner", "x");
  ASSERT_EQ(symlink((dir.path() + "/f/movie-000003.STXT").c_str(),
                    (dir.path() + "/f/movie-000004.LINK").c_str()),
            0);
  ASSERT_EQ(symlink(dir.path().c_str(), (dir.path() + "/f/movie-000005.DLNK").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (dir.path() + "/f/movie-000006.GONE").c_str()), 0);
  const std::string f = dir.path() + "/f/";
  const struct {
    std::string path;
    bool may_exist;
  } cases[] = {
      {f + "movie-000003.STXT", true},
      {f + "MOVIE-000003.stxt", true},   // another case: a case-blind file system may open it
      {f + "movie-000003.STX\xC3", false},
      {f + "movie-000009.STXT", false},  // no such file
      {f + "movie-000004.LINK", true},   // a link to a file opens it
      {f + "movie-000005.DLNK", false},  // a link to a folder
      {f + "movie-000006.GONE", false},  // a link to nothing
      {f + "movie-000008.DIR_", false},  // a folder
      {f + "movie-000007.A/BC", true},   // in a subfolder made by "/" in the type
      {f + "movie-000007.A/bc", true},
      {f + "movie-000007.A/BD", false},
      {f + "movie-000007.B/BC", false},  // no such subfolder
      {f + "movie-000007.A/", false},    // names a folder
      {f + "movie-000007.A/../movie-000003.STXT", true},
      {f + "movie-000009.ST:X", true},  // other file systems read these names their own way
      {f + "movie-000009.ST~X", true},
      {f + "movie-000009.STX.", true},
      {dir.path() + "/g/movie-000003.STXT", false},  // no such folder
  };
  KnownFiles known;
  for (const auto& c : cases) EXPECT_EQ(known.MayExist(c.path), c.may_exist) << c.path;
}

TEST(KnownFilesTest, ListsEachFolderOnceAndTrustsTheOpenWhenItCannot) {
  test::ScratchDir dir;
  dir.WriteFile("f/early", "x");
  KnownFiles known;
  EXPECT_TRUE(known.MayExist(dir.path() + "/f/early"));
  dir.WriteFile("f/late", "x");
  EXPECT_FALSE(known.MayExist(dir.path() + "/f/late"));  // listed before it was made

  // A folder that may be searched but not read (root reads it anyway): every name may exist.
  dir.WriteFile("locked/file", "x");
  ASSERT_EQ(chmod((dir.path() + "/locked").c_str(), 0100), 0);
  if (geteuid() != 0) {
    EXPECT_TRUE(known.MayExist(dir.path() + "/locked/other"));
  }
  // A relative path's folder is the current one.
  EXPECT_FALSE(KnownFiles().MayExist("quillon-no-such-file"));
}

}  // namespace
}  // namespace quillon
