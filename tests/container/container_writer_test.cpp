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
#include <utility>
#include <vector>

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

// A layout the write pass meets: the input, the replacements, and what must follow the
// output's header region, with where each listed entry's chunk starts in it.
struct Layout {
  const char* name;
  Bytes input;
  std::vector<std::pair<uint32_t, Chunk>> replacements;
  std::string body;
  std::vector<std::pair<uint32_t, uint32_t>> offsets;  // entry, offset after the header region
};

std::string Pad(char byte = '\0') { return std::string(1, byte); }

// Chunks out of map order keep the input's order (two entries sharing a chunk by entry index);
// free and flagged entries write nothing.
Layout OutOfMapOrder() {
  MovieBuilder builder(9);
  builder.SetSpareSlotFill(0xA5);
  const uint32_t late_offset = builder.AppendChunk("BBBB", {'b', 'b'});
  const uint32_t odd = builder.AddChunk("AAAA", {'a', 'a', 'a'});
  builder.Append({0});
  const uint32_t late = builder.AddEntry("BBBB", 2, late_offset);
  const uint32_t shared = builder.AddEntry("AAAA", 3, builder.EntryOffset(odd));
  builder.AddFreeEntry();
  builder.AddChunk("FFFF", {'f'}, 1);
  return {"OutOfMapOrder", builder.Build(), {},
          ChunkBytes("BBBB", "bb") + ChunkBytes("AAAA", "aaa") + Pad() +
              ChunkBytes("AAAA", "aaa") + Pad(),
          {{late, 0}, {odd, 10}, {shared, 22}}};
}

// A pad byte between neighbours, or before the file's end, goes out as the input has it; a gap
// is dropped, and a chunk followed by a gap or by the file's end gets a zero.
Layout GapsAndPadBytes() {
  MovieBuilder builder(8);
  builder.AddChunk("AAAA", {'a'});
  builder.Append({0x5A});
  builder.AddChunk("BBBB", {'b', 'b', 'b'});
  builder.Append({0xEE, 0xEE});
  builder.AddChunk("CCCC", {'c', 'c'});
  builder.AddChunk("DDDD", {'d'});
  builder.AddChunk("EEEE", {'e'});  // right after D at an odd offset: D gets a zero
  builder.Append({0x33});
  return {"GapsAndPadBytes", builder.Build(), {},
          ChunkBytes("AAAA", "a") + Pad(0x5A) + ChunkBytes("BBBB", "bbb") + Pad() +
              ChunkBytes("CCCC", "cc") + ChunkBytes("DDDD", "d") + Pad() +
              ChunkBytes("EEEE", "e") + Pad(0x33),
          {{3, 0}, {4, 10}, {5, 22}, {6, 32}, {7, 42}}};
}

// A replacement takes the place of the chunk it replaces, with a zero pad byte of its own.
Layout ReplacementInPlace() {
  MovieBuilder builder(8);
  const uint32_t later = builder.AppendChunk("DDDD", {'d', 'd', 'd'});
  builder.Append({0});
  const uint32_t replaced = builder.AddChunk("CCCC", {'c', 'c'});
  builder.AddEntry("DDDD", 3, later);
  return {"ReplacementInPlace",
          builder.Build(),
          {{replaced, Chunk{'R', 'R', 'R', 'R', 1, 0, 0, 0, 'r'}}},
          ChunkBytes("DDDD", "ddd") + Pad() + ChunkBytes("RRRR", "r") + Pad(),
          {{4, 0}, {replaced, 12}}};
}

// Saved without compacting: the current map at the end, an older one at 44 listing none of the
// chunks, and the older map a junk entry. Flags do not mark liveness there.
Layout MapAwayFrom44() {
  MovieBuilder builder(8);
  builder.MoveMapToEnd(MovieBuilder::At44::kOlderMap);
  const uint32_t text = builder.AddChunk("TXTS", {'t'});
  const uint32_t flagged = builder.AddChunk("DTIB", {'p', 'p'}, 0x80);
  builder.AddEntry("knuj", builder.HeaderRegionLength() - 52, 44, 4);
  return {"MapAwayFrom44", builder.Build(), {},
          ChunkBytes("TXTS", "t") + Pad() + ChunkBytes("DTIB", "pp"),
          {{text, 0}, {flagged, 10}}};
}

// No map at 44 but a chunk; entries 0 and 1 with flags 0 stay in the header region.
Layout ChunkAt44() {
  MovieBuilder builder(6, false);
  builder.MoveMapToEnd(MovieBuilder::At44::kChunk);
  builder.AddEntry("XFIR", 0, 0);
  builder.AddEntry("pami", 24, 12);
  builder.AddEntry("pamm", 24 + 20 * 6, 44);
  const uint32_t key_length = builder.HeaderRegionLength() - 52;
  const uint32_t keys = builder.AddEntry("*YEK", key_length, 44);
  const uint32_t text = builder.AddChunk("TXTS", {'t', 't'});
  return {"ChunkAt44", builder.Build(), {},
          ChunkBytes("*YEK", std::string(key_length, '\0')) + ChunkBytes("TXTS", "tt"),
          {{keys, 0}, {text, key_length + 8}}};
}

class LayoutTest : public ContainerWriterTest {};

TEST_P(LayoutTest, ChunksGoOutInTheInputsOrderEachAtAnEvenOffsetUnderAMapAt44) {
  for (const Layout& layout : {OutOfMapOrder(), GapsAndPadBytes(), ReplacementInPlace(),
                               MapAwayFrom44(), ChunkAt44()}) {
    SCOPED_TRACE(layout.name);
    test::MappedMovie mapped;
    ASSERT_TRUE(mapped.Load(layout.input, GetParam(), input_dir_.path()));
    MovieView movie = mapped.View();
    ReplacementTable table(movie.UsedCount());
    for (const auto& [entry, chunk] : layout.replacements) table.PutReplacement(entry, chunk);
    const uint64_t expected_length = ReLaidLength(movie, table);
    const size_t header = movie.HeaderRegionLength();
    const std::string in(layout.input.begin(), layout.input.end());
    const std::string current_map = in.substr(movie.MapOffset(), header - 44);
    ASSERT_EQ(WriteContainer(movie, table, dir_.path() + "/out.dxr", mapped.Options()),
              WriteStatus::kWritten);

    const std::string out = Output();
    EXPECT_EQ(out.size(), expected_length);
    EXPECT_TRUE(out.substr(header) == layout.body);
    for (const auto& [entry, offset] : layout.offsets) {
      EXPECT_EQ(OffsetOf(out, entry), header + offset) << entry;
    }
    // The container's length counts the pad bytes, the entries' lengths do not. The imap and
    // the map's own entry point at the map, now at 44, whose header is the current map's.
    const auto* bytes = reinterpret_cast<const uint8_t*>(out.data());
    EXPECT_EQ(LoadU32Le(bytes + 4), out.size() - 8);
    EXPECT_EQ(LengthOf(out, 0), out.size() - 8);
    EXPECT_EQ(LoadU32Le(bytes + 24), 44u);
    EXPECT_EQ(OffsetOf(out, 2), 44u);
    EXPECT_EQ(out.substr(44, 32), current_map.substr(0, 32));
    ASSERT_TRUE(CheckContainer(bytes, out.size()));
  }
}

INSTANTIATE_TEST_SUITE_P(CopyPaths, LayoutTest,
                         testing::Values(CopyPath::kFromMemory, CopyPath::kKernelCopy,
                                         CopyPath::kBufferedCopy, CopyPath::kRefusedCopy),
                         [](const auto& param_info) {
                           return test::CopyPathName(param_info.param);
                         });

// Everything of the header region but the patched fields is carried as it was: entries that
// are not live, the standard entries, the spare slots. In either byte order.
TEST_P(ContainerWriterTest, CarriesTheRestOfTheHeaderRegion) {
  for (const ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    MovieBuilder builder(9, true, order);
    builder.SetSpareSlotFill(0xA5);
    builder.AddChunk("AAAA", {'a'});
    const uint32_t free_entry = builder.AddFreeEntry();
    const uint32_t flagged = builder.AddChunk("FFFF", {'f'}, 1);
    const Bytes input = builder.Build();
    ASSERT_EQ(Relay(input), WriteStatus::kWritten);
    const std::string out = Output();
    const std::string in(input.begin(), input.end());
    for (uint32_t i : {1u, 2u, free_entry, flagged, 7u, 8u}) {
      EXPECT_EQ(out.substr(EntryFieldOffset(i, 0), 20), in.substr(EntryFieldOffset(i, 0), 20))
          << i;
    }
    EXPECT_EQ(out.substr(8, 68), in.substr(8, 68));
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
