#include "util/file_io.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#endif
#include <cstdlib>

#include "tests/support/scratch_dir.h"
#include "util/file_map.h"

namespace quillon {
namespace {

TEST(FileIoTest, ReadWholeFileTellsMissingFromRead) {
  test::ScratchDir dir;
  dir.WriteFile("data", "abc");
  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadWholeFile(dir.path() + "/data", 3, bytes), ReadFileStatus::kOk);
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "abc");
  EXPECT_EQ(ReadWholeFile(dir.path() + "/none", 3, bytes), ReadFileStatus::kMissing);
  EXPECT_EQ(ReadWholeFile(dir.path(), 3, bytes), ReadFileStatus::kMissing);  // a folder
  EXPECT_EQ(ReadWholeFile(dir.path() + "/data", 2, bytes), ReadFileStatus::kTooLarge);
}

#ifndef _WIN32
// A FIFO named like a replacement file would wait for a writer at a blocking open.
TEST(FileIoTest, ReadWholeFileNeverWaitsOnAFifo) {
  test::ScratchDir dir;
  const std::string fifo = dir.path() + "/m-000003.STXT";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::vector<uint8_t> bytes;
  EXPECT_EQ(ReadWholeFile(fifo, 100, bytes), ReadFileStatus::kMissing);
}
#endif

// The view and the buffer refuse a file for the same reasons; an empty file is an empty view.
TEST(FileIoTest, MapWholeFileViewsWhatReadWholeFileWouldRead) {
  test::ScratchDir dir;
  dir.WriteFile("data", "abc");
  dir.WriteFile("empty", "");
  struct Case {
    const char* what;
    std::string path;
    uint64_t max_length;
    ReadFileStatus status;
    std::string bytes;
  };
  std::vector<Case> cases = {
      {"a file", dir.path() + "/data", 3, ReadFileStatus::kOk, "abc"},
      {"an empty file", dir.path() + "/empty", 3, ReadFileStatus::kOk, ""},
      {"no file", dir.path() + "/none", 3, ReadFileStatus::kMissing, ""},
      {"a folder", dir.path(), 3, ReadFileStatus::kMissing, ""},
      {"a file too long", dir.path() + "/data", 2, ReadFileStatus::kTooLarge, ""},
  };
#ifndef _WIN32
  ASSERT_EQ(mkfifo((dir.path() + "/fifo").c_str(), 0600), 0);
  cases.push_back({"a FIFO", dir.path() + "/fifo", 3, ReadFileStatus::kMissing, ""});
#endif
  for (const Case& c : cases) {
    FileMapping view;
    EXPECT_EQ(MapWholeFile(c.path, c.max_length, view), c.status) << c.what;
    EXPECT_EQ(std::string(view.view, view.view + view.size), c.bytes) << c.what;
    std::vector<uint8_t> bytes;
    EXPECT_EQ(ReadWholeFile(c.path, c.max_length, bytes), c.status) << c.what;
    UnmapFile(view);
  }
}

TEST(FileIoTest, AtomicWriterReplacesOnlyOnCommit) {
  test::ScratchDir dir;
  const std::string target = dir.path() + "/out.dxr";
  dir.WriteFile("out.dxr", "old");
  {
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(target));
    ASSERT_TRUE(writer.Write("new!", 4));
    // Abandoned by the destructor: the older file stays.
  }
  EXPECT_EQ(dir.ReadFile("out.dxr"), "old");
  EXPECT_EQ(dir.ListFiles().size(), 1u);

  AtomicFileWriter writer;
  ASSERT_TRUE(writer.Open(target));
  ASSERT_TRUE(writer.Write("xxxx-tail", 9));
  ASSERT_TRUE(writer.SeekToStart());
  ASSERT_TRUE(writer.Write("head", 4));
  ASSERT_TRUE(writer.Commit());
  EXPECT_EQ(dir.ReadFile("out.dxr"), "head-tail");
  EXPECT_EQ(dir.ListFiles().size(), 1u);
}

#ifndef _WIN32
// Exits with 3 when the writer reported the failed write, 0 when it claimed success.
void WriteBeyondFileSizeLimit(const std::string& target) {
  signal(SIGXFSZ, SIG_IGN);
  rlimit limit;
  limit.rlim_cur = limit.rlim_max = 1 << 20;
  setrlimit(RLIMIT_FSIZE, &limit);
  AtomicFileWriter writer;
  if (!writer.Open(target)) std::exit(2);
  std::vector<uint8_t> block(4 << 20, 1);
  writer.Write(block.data(), block.size());
  std::exit(writer.Commit() ? 0 : 3);
}

TEST(FileIoTest, AtomicWriterReportsAFullDiskAndKeepsTheOlderFile) {
  test::ScratchDir dir;
  const std::string target = dir.path() + "/out.dxr";
  dir.WriteFile("out.dxr", "old");
  // A file-size limit makes writes fail as a full disk would.
  EXPECT_EXIT(WriteBeyondFileSizeLimit(target), testing::ExitedWithCode(3), "");
  EXPECT_EQ(dir.ReadFile("out.dxr"), "old");
  EXPECT_EQ(dir.ListFiles().size(), 1u);
}
#endif

// What keeps a file from being opened or written, in the same words on every system.
TEST(FileIoTest, FailuresSayWhy) {
  test::ScratchDir dir;
  dir.WriteFile("folder/inner", "");
  dir.WriteFile("empty", "");
  const struct {
    const char* name;
    std::string reason;
  } cases[] = {
      {"missing", "No such file or directory"},
      {"folder", "it is a folder"},
      {"empty", "empty file"},
  };
  for (const auto& c : cases) {
    const FileMapping mapping = MapFileCopyOnWrite(dir.path() + "/" + c.name);
    EXPECT_FALSE(mapping.valid()) << c.name;
    EXPECT_EQ(DescribeFileError(mapping.error), c.reason) << c.name;
  }
  AtomicFileWriter writer;
  EXPECT_FALSE(writer.Open(dir.path() + "/folder"));
  EXPECT_EQ(DescribeFileError(writer.error()), "it is a folder");
  EXPECT_FALSE(writer.Open(dir.path() + "/none/out"));
  EXPECT_EQ(DescribeFileError(writer.error()), "No such file or directory");
  FileError error;
  EXPECT_EQ(CreateTextFile(dir.path() + "/folder", error), nullptr);
  EXPECT_EQ(DescribeFileError(error), "it is a folder");
}

// Ranges of a mapped file appended between plain writes, from the file (POSIX: by the kernel
// where the range and the output position agree modulo the page size, else through the buffer,
// a range shorter than the buffer and one of several buffers' length) and from the view (no
// file), across the view's write block too.
TEST(FileIoTest, CopyFromAppendsRangesOfTheSourceEveryWay) {
  test::ScratchDir dir;
  std::string source(kViewWriteBlock + 5, 's');
  for (size_t i = 0; i < source.size(); i += 4093) source[i] = static_cast<char>('a' + i % 26);
  dir.WriteFile("source", source);
  FileMapping mapping = MapFileReadOnly(dir.path() + "/source");
  ASSERT_TRUE(mapping.valid());
  for (const bool with_file : {true, false}) {
    FileMapping from = mapping;
    if (!with_file) from.file = kNoFile;
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(dir.path() + "/out"));
    ASSERT_TRUE(writer.Write("head", 4));
    ASSERT_TRUE(writer.CopyFrom(from, 4093, 3));                // shifted, short
    ASSERT_TRUE(writer.CopyFrom(from, 7, source.size() - 7));  // in step with the output
    ASSERT_TRUE(writer.CopyFrom(from, 0, source.size()));      // shifted by 5, long
    ASSERT_TRUE(writer.CopyFrom(from, 1, 0));
    ASSERT_TRUE(writer.Write("tail", 4));
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(dir.ReadFile("out") ==
                "head" + source.substr(4093, 3) + source.substr(7) + source + "tail")
        << with_file;
  }
  EXPECT_TRUE(UnmapFile(mapping));
}

#ifndef _WIN32
// Windows refuses to cut a file that has a view mapped.
TEST(FileIoTest, CopyFromASourceThatShrankFailsTheWrite) {
  // A head of one byte sends the copy through the buffer, none lets the kernel copy it.
  for (const std::string head : {"", "h"}) {
    test::ScratchDir dir;
    dir.WriteFile("source", std::string(8192, 's'));
    FileMapping mapping = MapFileReadOnly(dir.path() + "/source");
    ASSERT_TRUE(mapping.valid());
    // Another program cuts the file under the view: the copy must fail, not run past its end.
    ASSERT_EQ(truncate((dir.path() + "/source").c_str(), 100), 0);
    dir.WriteFile("out", "old");
    AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(dir.path() + "/out"));
    ASSERT_TRUE(writer.Write(head.data(), head.size()));
    EXPECT_FALSE(writer.CopyFrom(mapping, 0, 8192)) << head;
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(dir.ReadFile("out"), "old");
    EXPECT_EQ(dir.ListFiles().size(), 2u);  // out and source
    UnmapFile(mapping);
  }
}
#endif

TEST(FileMapTest, CopyOnWriteNeverReachesTheFile) {
  test::ScratchDir dir;
  dir.WriteFile("movie", "XFIR");
  FileMapping mapping = MapFileCopyOnWrite(dir.path() + "/movie");
  ASSERT_TRUE(mapping.valid());
  ASSERT_EQ(mapping.size, 4u);
  mapping.view[0] = 'Z';
  EXPECT_TRUE(UnmapFile(mapping));
  EXPECT_EQ(dir.ReadFile("movie"), "XFIR");
  dir.WriteFile("empty", "");
  EXPECT_FALSE(MapFileCopyOnWrite(dir.path() + "/empty").valid());
  EXPECT_FALSE(MapFileReadOnly(dir.path() + "/none").valid());
  EXPECT_FALSE(MapFileReadOnly(dir.path()).valid());
}

}  // namespace
}  // namespace quillon
