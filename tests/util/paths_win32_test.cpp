// Windows paths: backslashes joined, "/" accepted where a typed path is split.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "util/paths.h"

namespace quillon {
namespace {

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

TEST(PathsWin32Test, SplitsAtEitherSlashAndJoinsWithABackslash) {
  const struct {
    const char* path;
    const char* file_name;
    const char* folder;
  } cases[] = {
      {"a\\b\\c.dxr", "c.dxr", "a\\b"}, {"a/b\\c.dxr", "c.dxr", "a/b"},
      {"a\\b/c.dxr", "c.dxr", "a\\b"},  {"C:\\c", "c", "C:"},
      {"\\c", "c", ""},                 {"a\\b\\", "", "a\\b"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(GetFileName(c.path), c.file_name) << c.path;
    EXPECT_EQ(GetFolder(c.path), c.folder) << c.path;
  }
  EXPECT_EQ(JoinPath("Out/sub", "m.log"), "Out/sub\\m.log");
  EXPECT_EQ(TagToExtension("A/BC"), "A\\BC");
}

// Names Windows refuses, or takes as another file or a device.
TEST(PathsWin32Test, CanNameFileFollowsTheWindowsRules) {
  for (const char* part : {"a<b", "a>b", "a:b", "a\"b", "a|b", "a\x01", "a\\b", "ab.", "ab ",
                           "CON", "con.txt", "Nul", "AUX.x.y", "PRN", "COM1", "lpt9.STXT"}) {
    EXPECT_FALSE(CanNameFile(part)) << part;
  }
  for (const char* part : {"COM", "COM10", "LPTX", "a.b", "a b", "m-000003.X"}) {
    EXPECT_TRUE(CanNameFile(part)) << part;
  }
}

TEST(PathsWin32Test, StoredSpellingComesFromTheFolder) {
  test::ScratchDir dir;
  dir.WriteFile("Intro.DXR", "x");
  const std::string folder = dir.path();
  EXPECT_EQ(GetStoredPath(folder + "\\intro.dxr"), folder + "\\Intro.DXR");
  EXPECT_EQ(GetStoredPath(folder + "/INTRO.dxr"), folder + "/Intro.DXR");  // prefix as typed
  EXPECT_EQ(GetStoredPath(folder + "\\missing.dxr"), folder + "\\missing.dxr");
  // A wildcard never picks a file the user did not name.
  EXPECT_EQ(GetStoredPath(folder + "\\*.dxr"), folder + "\\*.dxr");
  EXPECT_EQ(GetStoredPath(folder + "\\intro.dx?"), folder + "\\intro.dx?");

  char saved[MAX_PATH];
  ASSERT_NE(GetCurrentDirectoryA(MAX_PATH, saved), 0u);
  ASSERT_NE(SetCurrentDirectoryA(folder.c_str()), 0);
  EXPECT_EQ(GetStoredPath("intro.dxr"), "Intro.DXR");
  SetCurrentDirectoryA(saved);
}

TEST(PathsWin32Test, CreateFoldersMakesEveryLevelWhicheverSlashIsTyped) {
  test::ScratchDir dir;
  for (const std::string nested : {"\\Out\\a\\b", "\\Mixed/a\\b/c"}) {
    const std::string path = dir.path() + nested;
    EXPECT_TRUE(CreateFolders(path));
    EXPECT_TRUE(IsFolder(path)) << path;
    EXPECT_TRUE(CreateFolders(path));  // existing folders are fine
  }
}

}  // namespace
}  // namespace quillon
