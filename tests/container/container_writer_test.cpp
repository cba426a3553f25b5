#include "container/container_writer.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "fixtures/movie_builder.h"
#include "tests/container/mapped_movie.h"
#include "tests/support/scratch_dir.h"
#include "util/byte_reader.h"
#include "util/file_io.h"

namespace quillon {
namespace {

using test::Bytes;
using test::CopyPath;
using test::EntryFieldOffset;
using test::MovieBuilder;

ByteOrder OrderOf(const std::string& file) {
  return file.compare(0, 4, "RIFX") == 0 ? ByteOrder::kBig : ByteOrder::kLittle;
}
uint32_t FieldOf(const std::string& file, uint32_t i, size_t field) {
  return LoadU32(reinterpret_cast<const uint8_t*>(file.data()) + EntryFieldOffset(i, field),
                 OrderOf(file));
}
uint32_t OffsetOf(const std::string& file, uint32_t i) { return FieldOf(file, i, 8); }
uint32_t LengthOf(const std::string& file, uint32_t i) { return FieldOf(file, i, 4); }

// A chunk as a movie of `order` stores it; the tag is given in the little-endian form.
std::string ChunkBytes(const std::string& tag, const std::string& data,
                       ByteOrder order = ByteOrder::kLittle) {
  uint8_t length[4];
  StoreU32(length, static_cast<uint32_t>(data.size()), order);
  const std::string stored = order == ByteOrder::kBig ? std::string(tag.rbegin(), tag.rend()) : tag;
  return stored + std::string(length, length + 4) + data;
}

// Every case runs over each way kept chunks reach the output; the bytes must not differ.
class ContainerWriterTest : public testing::TestWithParam<CopyPath> {
 protected:
  void SetUp() override {
    if (!test::CopyPathAvailable(GetParam(), dir_.path())) GTEST_SKIP() << "no second file system";
  }
  void Load(const Bytes& input) { ASSERT_TRUE(movie_.Load(input, GetParam(), input_dir_.path())); }
  WriteStatus RelayLoaded(ReplacementTable* table, const std::string& output) {
    MovieView movie = movie_.View();
    ReplacementTable empty(movie.UsedCount());
    return WriteContainer(movie, table != nullptr ? *table : empty, output, movie_.Options());
  }
  // Re-lays `input` through a copy-on-write view into "out.dxr".
  WriteStatus Relay(const Bytes& input, ReplacementTable* table = nullptr) {
    Load(input);
    return RelayLoaded(table, dir_.path() + "/out.dxr");
  }
  std::string Output() const { return dir_.ReadFile("out.dxr"); }

  test::ScratchDir dir_;
  test::ScratchDir input_dir_;
  test::MappedMovie movie_;
};

TEST_P(ContainerWriterTest, LaysLiveChunksInEntryOrderEachAtAnEvenOffset) {
  MovieBuilder builder(9);
  builder.SetSpareSlotFill(0xA5);
  const uint32_t late_offset = builder.AppendChunk("BBBB", {'b', 'b'});
  builder.Append({0xEE, 0xEE, 0xEE});  // a gap no entry covers
  const uint32_t odd = builder.AddChunk("AAAA", {'a', 'a', 'a'});
  const uint32_t late = builder.AddEntry("BBBB", 2, late_offset);
  const uint32_t shared = builder.AddEntry("AAAA", 3, builder.EntryOffset(odd));
  const uint32_t free_entry = builder.AddFreeEntry();
  const uint32_t flagged = builder.AddChunk("FFFF", {'f'}, 1);
  const Bytes input = builder.Build();

  ASSERT_EQ(Relay(input), WriteStatus::kWritten);
  const std::string out = Output();
  const size_t header = builder.HeaderRegionLength();
  const std::string pad(1, '\0');
  EXPECT_EQ(out.substr(header), ChunkBytes("AAAA", "aaa") + pad + ChunkBytes("BBBB", "bb") +
                                    ChunkBytes("AAAA", "aaa") + pad);
  EXPECT_EQ(OffsetOf(out, odd), header);
  EXPECT_EQ(OffsetOf(out, late), header + 12);
  EXPECT_EQ(OffsetOf(out, shared), header + 22);
  EXPECT_EQ(LengthOf(out, shared), 3u);
  // The container's length counts the pad bytes, the entries' lengths do not.
  EXPECT_EQ(LoadU32Le(reinterpret_cast<const uint8_t*>(out.data()) + 4), out.size() - 8);
  EXPECT_EQ(LengthOf(out, 0), out.size() - 8);
  MovieView view = movie_.View();
  EXPECT_EQ(ReLaidLength(view, ReplacementTable(view.UsedCount())), out.size());

  // Everything else of the header region is carried as it was: entries that are not live,
  // the standard entries, the spare slots.
  const std::string in(input.begin(), input.end());
  for (uint32_t i : {1u, 2u, free_entry, flagged, 7u, 8u}) {
    EXPECT_EQ(out.substr(EntryFieldOffset(i, 0), 20), in.substr(EntryFieldOffset(i, 0), 20)) << i;
  }
  EXPECT_EQ(out.substr(8, 68), in.substr(8, 68));
}

// A zero pad byte after an odd chunk goes out with the run; any other byte there, or none at
// the end of the file, is replaced by a zero.
// In either byte order: a Mac movie is laid out by the same rules, its map in its own order.
TEST_P(ContainerWriterTest, OddChunksAreFollowedByAZeroPadByteWhateverTheInputHasThere) {
  for (const ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    MovieBuilder builder(8, true, order);
    builder.AddChunk("AAAA", {'a'});  // 3: followed by a zero, as Director writes it
    builder.Append({0});
    builder.AddChunk("BBBB", {'b', 'b', 'b'});  // 4: followed by another byte
    builder.Append({0xEE});
    builder.AddChunk("CCCC", {'c', 'c'});  // 5
    builder.AddChunk("DDDD", {'d'});       // 6: the file's last byte
    ASSERT_EQ(Relay(builder.Build()), WriteStatus::kWritten);
    const std::string out = Output();
    const uint32_t header = builder.HeaderRegionLength();
    const std::string pad(1, '\0');
    EXPECT_EQ(out.substr(header), ChunkBytes("AAAA", "a", order) + pad +
                                      ChunkBytes("BBBB", "bbb", order) + pad +
                                      ChunkBytes("CCCC", "cc", order) +
                                      ChunkBytes("DDDD", "d", order) + pad);
    const uint32_t offsets[] = {header, header + 10, header + 22, header + 32};
    for (uint32_t i = 3; i <= 6; ++i) EXPECT_EQ(OffsetOf(out, i), offsets[i - 3]) << i;
    EXPECT_EQ(LengthOf(out, 0), out.size() - 8);
    EXPECT_EQ(LoadU32(reinterpret_cast<const uint8_t*>(out.data()) + 4, order), out.size() - 8);
  }
}

TEST_P(ContainerWriterTest, WritesReplacementsWithTheirOwnHeaderAndPatchedLength) {
  MovieBuilder builder(7);
  const uint32_t replaced = builder.AddChunk("TXTS", {1, 2, 3, 4});
  const uint32_t kept = builder.AddChunk("TXTS", {5});
  const uint32_t even = builder.AddChunk("TXTS", {6});
  const uint32_t flagged = builder.AddChunk("DTIB", {6}, 1);
  const Bytes input = builder.Build();
  ReplacementTable table(builder.UsedCount());
  table.PutReplacement(replaced, Chunk{'X', 'Y', 'Z', 'W', 0, 0, 0, 0, 9, 9, 9});
  table.PutReplacement(even, Chunk{'E', 'V', 'E', 'N', 0, 0, 0, 0, 8, 8});
  table.PutReplacement(flagged, Chunk(20, 1));
  Load(input);
  MovieView view = movie_.View();
  EXPECT_EQ(ReplacedChunkCount(view, table), 2u);  // the flagged entry's is never written
  const uint64_t expected_length = ReLaidLength(view, table);

  ASSERT_EQ(RelayLoaded(&table, dir_.path() + "/out.dxr"), WriteStatus::kWritten);
  const std::string out = Output();
  const size_t header = builder.HeaderRegionLength();
  EXPECT_EQ(out.substr(header), std::string("XYZW\0\0\0\0\x09\x09\x09\0", 12) +
                                    ChunkBytes("TXTS", std::string(1, 5)) + std::string(1, '\0') +
                                    std::string("EVEN\0\0\0\0\x08\x08", 10));
  EXPECT_EQ(out.size(), expected_length);
  EXPECT_EQ(LengthOf(out, replaced), 3u);
  EXPECT_EQ(OffsetOf(out, kept), header + 12);
  EXPECT_EQ(LengthOf(out, even), 2u);
  EXPECT_EQ(OffsetOf(out, even), header + 22);
  EXPECT_FALSE(table.Has(replaced));
  // A replacement for an entry that is not live stays unwritten; the entry keeps its fields.
  EXPECT_TRUE(table.Has(flagged));
  EXPECT_EQ(OffsetOf(out, flagged), builder.EntryOffset(flagged));
  EXPECT_EQ(LengthOf(out, flagged), 1u);
}

TEST_P(ContainerWriterTest, AMovieWithoutLiveChunksIsItsHeaderRegion) {
  MovieBuilder builder(3);
  builder.Append({1, 2, 3});
  ASSERT_EQ(Relay(builder.Build()), WriteStatus::kWritten);
  EXPECT_EQ(Output().size(), 76u + 60u);
  EXPECT_EQ(LengthOf(Output(), 0), 76u + 60u - 8u);
}

TEST_P(ContainerWriterTest, AMapWithoutSlotsHasNoEntryZeroToPatch) {
  MovieBuilder builder(0, false);
  ASSERT_EQ(Relay(builder.Build()), WriteStatus::kWritten);
  EXPECT_EQ(Output().size(), 76u);
}

TEST_P(ContainerWriterTest, RefusesAnOutputBeyondTheContainerLengthAndKeepsTheOlderOne) {
  // 4100 entries sharing one chunk of 1 MiB would re-lay to more than 4 GiB.
  constexpr uint32_t kEntries = 4100;
  MovieBuilder builder(kEntries + 3);
  const uint32_t big = builder.AddChunk("DTIB", Bytes(1 << 20, 7));
  for (uint32_t i = 1; i < kEntries; ++i)
    builder.AddEntry("DTIB", 1 << 20, builder.EntryOffset(big));
  dir_.WriteFile("out.dxr", "older");
  EXPECT_EQ(Relay(builder.Build()), WriteStatus::kTooLarge);
  EXPECT_EQ(Output(), "older");
  EXPECT_EQ(dir_.ListFiles(), std::vector<std::string>{"out.dxr"});
}

TEST_P(ContainerWriterTest, ReportsAnOutputThatCannotBeCreated) {
  MovieBuilder builder(4);
  builder.AddChunk("TXTS", {1});
  Load(builder.Build());
  EXPECT_EQ(RelayLoaded(nullptr, dir_.path() + "/missing/out.dxr"), WriteStatus::kCannotWrite);
}

TEST_P(ContainerWriterTest, OneCopyPerRunBreaksAtReplacementsAndJumpsInTheInput) {
  MovieBuilder builder(12);
  const uint32_t first = builder.AddChunk("AAAA", {'a'});       // 3: a run of 3 and 4
  builder.Append({0});
  builder.AddChunk("BBBB", {'b', 'b'});                         // 4
  const uint32_t replaced = builder.AddChunk("CCCC", {'c'});    // 5
  builder.Append({0});
  builder.AddChunk("DDDD", {'d', 'd', 'd'});                    // 6: runs on after 5's chunk
  builder.Append({0});
  builder.AddFreeEntry();                                       // 7: writes nothing
  builder.AddChunk("EEEE", {'e'});                              // 8: the run of 6 goes on
  builder.AddEntry("AAAA", 1, builder.EntryOffset(first));      // 9: back to the start
  builder.AddEntry("BBBB", 2, builder.EntryOffset(first + 1));  // 10: and on from there
  ReplacementTable table(builder.UsedCount());
  table.PutReplacement(replaced, Chunk{'R', 'R', 'R', 'R', 1, 0, 0, 0, 'r'});

  ASSERT_EQ(Relay(builder.Build(), &table), WriteStatus::kWritten);
  const std::string pad(1, '\0');
  const std::string a = ChunkBytes("AAAA", "a") + pad;
  const std::string b = ChunkBytes("BBBB", "bb");
  EXPECT_EQ(Output().substr(builder.HeaderRegionLength()),
            a + b + ChunkBytes("RRRR", "r") + pad + ChunkBytes("DDDD", "ddd") + pad +
                ChunkBytes("EEEE", "e") + pad + a + b);
}

// Runs longer than the writer's buffer, the second one shifted against the output by the chunk
// dropped before it.
TEST_P(ContainerWriterTest, RunsLongerThanTheCopyBufferArriveWhole) {
  MovieBuilder builder(7);
  const std::string first(kCopyBufferLength + 1, 'a');
  const std::string second(2 * kCopyBufferLength + 5, 'b');
  builder.AddChunk("AAAA", Bytes(first.begin(), first.end()));
  builder.AddChunk("FFFF", {'f', 'f', 'f'}, 1);
  builder.AddChunk("BBBB", Bytes(second.begin(), second.end()));
  builder.AddChunk("CCCC", {'c'});

  ASSERT_EQ(Relay(builder.Build()), WriteStatus::kWritten);
  const std::string pad(1, '\0');
  EXPECT_TRUE(Output().substr(builder.HeaderRegionLength()) ==
              ChunkBytes("AAAA", first) + pad + ChunkBytes("BBBB", second) + pad +
                  ChunkBytes("CCCC", "c") + pad);
}

// Two chunks of 200 KB: more than the room the full-disk cases leave.
Bytes LargeMovie() {
  MovieBuilder builder(5);
  builder.AddChunk("DTIB", Bytes(100000, 7));
  builder.AddChunk("DTIB", Bytes(100000, 8));
  return builder.Build();
}

// True when the run failed cleanly: the older output as it was and no temporary file left.
bool FailedCleanly(WriteStatus status, const std::string& folder) {
  std::ifstream older(folder + "/out.dxr");
  std::string content;
  std::getline(older, content);
  size_t files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind("out.dxr", 0) == 0) ++files;
  }
  return status == WriteStatus::kCannotWrite && content == "older" && files == 1;
}

TEST_P(ContainerWriterTest, AFileSizeLimitFailsTheWriteAndKeepsTheOlderOutput) {
  Load(LargeMovie());
  dir_.WriteFile("out.dxr", "older");
  const std::string folder = dir_.path();
  // The limit makes writes and copies fail as a full disk would, part way through a copy.
  const auto relay_over_the_limit = [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{150000, 150000};
    setrlimit(RLIMIT_FSIZE, &limit);
    std::_Exit(FailedCleanly(RelayLoaded(nullptr, folder + "/out.dxr"), folder) ? 0 : 1);
  };
  EXPECT_EXIT(relay_over_the_limit(), testing::ExitedWithCode(0), "");
}

// In a child of its own mount namespace, on a small tmpfs that holds an older output and the
// input (so the kernel copies within it) or as much ballast: 0 when the run failed cleanly, 77
// when no tmpfs could be mounted here.
int RelayOntoAFullTmpfs(CopyPath path, const std::string& folder) {
  if (unshare(CLONE_NEWNS) != 0 ||
      mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
      mount("tmpfs", folder.c_str(), "tmpfs", 0, "size=256k") != 0) {
    return 77;
  }
  std::ofstream(folder + "/out.dxr") << "older";
  const Bytes input = LargeMovie();
  if (path == CopyPath::kFromMemory || path == CopyPath::kRefusedCopy)
    std::ofstream(folder + "/ballast") << std::string(input.size(), 'x');
  test::MappedMovie movie;
  if (!movie.Load(input, path, folder)) return 2;
  MovieView view = movie.View();
  ReplacementTable table(view.UsedCount());
  return FailedCleanly(WriteContainer(view, table, folder + "/out.dxr", movie.Options()), folder)
             ? 0
             : 1;
}

TEST_P(ContainerWriterTest, AFullFileSystemFailsTheWriteAndKeepsTheOlderOutput) {
  const std::string folder = dir_.path() + "/full";
  std::filesystem::create_directory(folder);
  const pid_t child = fork();
  if (child == 0) std::_Exit(RelayOntoAFullTmpfs(GetParam(), folder));
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "no tmpfs can be mounted here";
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

INSTANTIATE_TEST_SUITE_P(CopyPaths, ContainerWriterTest,
                         testing::Values(CopyPath::kFromMemory, CopyPath::kKernelCopy,
                                         CopyPath::kBufferedCopy, CopyPath::kRefusedCopy),
                         [](const auto& param_info) {
                           return test::CopyPathName(param_info.param);
                         });

}  // namespace
}  // namespace quillon
