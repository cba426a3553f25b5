#include "util/paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/scratch_dir.h"

namespace quillon {
namespace {

struct SplitCase {
  const char* path;
  const char* file_name;
  const char* folder;
};

TEST(PathsTest, SplitsAtTheLastSeparator) {
  const SplitCase cases[] = {
      {"a/b/c.dxr", "c.dxr", "a/b"}, {"c.dxr", "c.dxr", ""},   {"a/b/", "", "a/b"},
      {"/c", "c", ""},               {"a/c", "c", "a"},         {"", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetFileName(c.path), c.file_name) << c.path;
    EXPECT_EQ(GetFolder(c.path), c.folder) << c.path;
  }
}

TEST(PathsTest, StripsTheLastExtensionOnly) {
  EXPECT_EQ(StripExtension("c.tar.dxr"), "c.tar");
  EXPECT_EQ(StripExtension("a.b.dxr"), "a.b");
  EXPECT_EQ(StripExtension("noext"), "noext");
  EXPECT_EQ(StripExtension(".dxr"), "");
}

TEST(PathsTest, TagToExtensionMakesTypesSafe) {
  EXPECT_EQ(TagToExtension("BITD"), "BITD");
  EXPECT_EQ(TagToExtension("a?b*"), "a_b_");
  EXPECT_EQ(TagToExtension("$;,x"), "___x");
  EXPECT_EQ(TagToExtension("\x80\x9f\xc0\xff"), "____");
  EXPECT_EQ(TagToExtension("KEY*"), "KEY_");
  EXPECT_EQ(TagToExtension("A/BC"), std::string("A") + kPathSeparator + "BC");
  EXPECT_EQ(TagToExtension(std::string("AB\0D", 4)), "AB");
  EXPECT_EQ(TagToExtension("a:\"|"), "a:\"|");
}

TEST(PathsTest, CanNameFileRefusesWhatNamesNoFileOfItsOwn) {
  for (const char* part : {"", ".", "..", "a/b"}) EXPECT_FALSE(CanNameFile(part)) << part;
  for (const char* part : {"m-000003.STXT", "...a", "CONX", "m-000003.X"}) {
    EXPECT_TRUE(CanNameFile(part)) << part;
  }
}

// The name Windows opens: only the spaces and dots at the end go, on every system.
TEST(PathsTest, WindowsFileNameDropsTheSpacesAndDotsAtTheEnd) {
  const struct {
    const char* name;
    const char* windows;
  } cases[] = {
      {"m-000102.snd ", "m-000102.snd"}, {"m-000102.a. .", "m-000102.a"},
      {"m-000102.BITD", "m-000102.BITD"}, {". .", ""}, {"a b.c", "a b.c"}, {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WindowsFileName(c.name), c.windows) << c.name;
}

TEST(PathsTest, StoredPathPrefersExactThenCaseInsensitiveMatch) {
  test::ScratchDir dir;
  dir.WriteFile("Intro.DXR", "x");
  const std::string folder = dir.path();
  EXPECT_EQ(GetStoredPath(folder + "/intro.dxr"), folder + "/Intro.DXR");
  EXPECT_EQ(GetStoredPath(folder + "/Intro.DXR"), folder + "/Intro.DXR");
  EXPECT_EQ(GetStoredPath(folder + "/missing.dxr"), folder + "/missing.dxr");
#ifndef _WIN32  // a second spelling is the same file where names ignore letter case
  dir.WriteFile("intro.dxr", "y");
  EXPECT_EQ(GetStoredPath(folder + "/intro.dxr"), folder + "/intro.dxr");
  EXPECT_EQ(GetStoredPath(folder + "/INTRO.dxr"), folder + "/Intro.DXR");
#endif
}

TEST(PathsTest, CreateFoldersMakesEveryMissingParent) {
  test::ScratchDir dir;
  const std::string nested = dir.path() + "/Out/a/b";
  EXPECT_TRUE(CreateFolders(nested));
  struct stat info;
  ASSERT_EQ(stat(nested.c_str(), &info), 0);
  EXPECT_TRUE(S_ISDIR(info.st_mode));
  EXPECT_TRUE(CreateFolders(nested));  // existing folders are fine
  // Failures are told: a folder that cannot be made, or a file in the folder's place.
#ifndef _WIN32
  EXPECT_FALSE(CreateFolders("/proc/cannot/make/this"));
#endif
  dir.WriteFile("file", "x");
  EXPECT_FALSE(CreateFolders(dir.path() + "/file"));
}

}  // namespace
}  // namespace quillon
