// Windows file identity, atomic replacement and views of files past 4 GiB.
#include <windows.h>

#include <gtest/gtest.h>

#include "tests/support/scratch_dir.h"
#include "util/file_io.h"
#include "util/file_map.h"

namespace quillon {
namespace {

constexpr uint64_t kPast4GiB = (uint64_t{1} << 32) + 100;

TEST(FileIoWin32Test, SameFileHoweverSpelled) {
  test::ScratchDir dir;
  dir.WriteFile("d\\m.dxr", "movie");
  dir.WriteFile("d\\other.dxr", "movie");
  const std::string d = dir.path() + "\\d";
  EXPECT_TRUE(IsSameFile(d + "\\m.dxr", d + "\\M.DXR"));
  EXPECT_TRUE(IsSameFile(d + "\\m.dxr", dir.path() + "/D/./m.dxr"));
  EXPECT_TRUE(IsSameFile(d + "\\m.dxr", d + "\\..\\d\\m.dxr"));
  EXPECT_FALSE(IsSameFile(d + "\\m.dxr", d + "\\other.dxr"));
  EXPECT_FALSE(IsSameFile(d + "\\m.dxr", d + "\\none.dxr"));
  // A file held open without sharing by the run's own mapping is still identified.
  FileMapping mapping = MapFileCopyOnWrite(d + "\\m.dxr");
  ASSERT_TRUE(mapping.valid());
  EXPECT_TRUE(IsSameFile(d + "\\M.dxr", d + "\\m.dxr"));
  UnmapFile(mapping);
}

TEST(FileIoWin32Test, AtomicWriterReplacesAnOlderFileAndKeepsItWhenReplacingFails) {
  test::ScratchDir dir;
  const std::string target = dir.path() + "\\out.dxr";
  dir.WriteFile("out.dxr", "old");
  {
    // Another program holds the older file open without sharing: it cannot be replaced.
    const HANDLE held = CreateFileA(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(target));
    ASSERT_TRUE(writer.Write("new!", 4));
    EXPECT_FALSE(writer.Commit());
    CloseHandle(held);
  }
  EXPECT_EQ(dir.ReadFile("out.dxr"), "old");
  EXPECT_EQ(dir.ListFiles().size(), 1u);  // no temporary file left

  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("new!", 4));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(dir.ReadFile("out.dxr"), "new!");
  EXPECT_EQ(dir.ListFiles().size(), 1u);
}

// A sparse file of `length` bytes that starts with `head`; false when the disk refuses it.
bool WriteSparseFile(const std::string& path, const std::string& head, uint64_t length) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD ignored = 0;
  DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
  DWORD written = 0;
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(length);
  const bool made = WriteFile(file, head.data(), static_cast<DWORD>(head.size()), &written,
                              nullptr) != 0 &&
                    SetFilePointerEx(file, end, nullptr, FILE_BEGIN) != 0 &&
                    SetEndOfFile(file) != 0;
  CloseHandle(file);
  return made;
}

TEST(FileIoWin32Test, ViewsReportTheWhole64BitSize) {
  test::ScratchDir dir;
  const std::string path = dir.path() + "\\huge.dxr";
  if (!WriteSparseFile(path, "XFIR", kPast4GiB)) GTEST_SKIP() << "no sparse file of 4 GiB here";
  FileMapping mapping = MapFileReadOnly(path);
  ASSERT_TRUE(mapping.valid());
  EXPECT_EQ(uint64_t{mapping.size}, kPast4GiB);  // not the 100 bytes of the low half
  EXPECT_EQ(mapping.view[0], 'X');
  EXPECT_EQ(mapping.view[mapping.size - 1], 0);
  UnmapFile(mapping);
  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadWholeFile(path, 1000, bytes), ReadFileStatus::kTooLarge);
}

}  // namespace
}  // namespace quillon
