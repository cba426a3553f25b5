#include "container/container_writer.h"

#include <gtest/gtest.h>

#include "fixtures/movie_builder.h"
#include "tests/support/scratch_dir.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

using test::Bytes;
using test::EntryFieldOffset;
using test::MovieBuilder;

uint32_t FieldOf(const std::string& file, uint32_t i, size_t field) {
  return LoadU32Le(reinterpret_cast<const uint8_t*>(file.data()) + EntryFieldOffset(i, field));
}
uint32_t OffsetOf(const std::string& file, uint32_t i) { return FieldOf(file, i, 8); }
uint32_t LengthOf(const std::string& file, uint32_t i) { return FieldOf(file, i, 4); }

std::string ChunkBytes(const std::string& tag, const std::string& data) {
  const auto n = static_cast<uint32_t>(data.size());
  const char length[4] = {static_cast<char>(n), static_cast<char>(n >> 8),
                          static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
  return tag + std::string(length, 4) + data;
}

class ContainerWriterTest : public testing::Test {
 protected:
  // Re-lays `input` (a private copy stands in for the copy-on-write view) into "out.dxr".
  WriteStatus Relay(Bytes input, ReplacementTable* table = nullptr) {
    view_ = std::move(input);
    MovieView movie(view_.data(), view_.size());
    ReplacementTable empty(movie.UsedCount());
    return WriteContainer(movie, table != nullptr ? *table : empty, dir_.path() + "/out.dxr");
  }
  std::string Output() const { return dir_.ReadFile("out.dxr"); }

  test::ScratchDir dir_;
  Bytes view_;
};

TEST_F(ContainerWriterTest, LaysLiveChunksBackToBackInEntryOrder) {
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
  EXPECT_EQ(out.substr(header), ChunkBytes("AAAA", "aaa") + ChunkBytes("BBBB", "bb") +
                                    ChunkBytes("AAAA", "aaa"));
  EXPECT_EQ(OffsetOf(out, odd), header);
  EXPECT_EQ(OffsetOf(out, late), header + 11);
  EXPECT_EQ(OffsetOf(out, shared), header + 21);
  EXPECT_EQ(LengthOf(out, shared), 3u);
  EXPECT_EQ(LoadU32Le(reinterpret_cast<const uint8_t*>(out.data()) + 4), out.size() - 8);
  EXPECT_EQ(LengthOf(out, 0), out.size() - 8);

  // Everything else of the header region is carried as it was: entries that are not live,
  // the standard entries, the spare slots.
  const std::string in(input.begin(), input.end());
  for (uint32_t i : {1u, 2u, free_entry, flagged, 7u, 8u}) {
    EXPECT_EQ(out.substr(EntryFieldOffset(i, 0), 20), in.substr(EntryFieldOffset(i, 0), 20)) << i;
  }
  EXPECT_EQ(out.substr(8, 68), in.substr(8, 68));
}

TEST_F(ContainerWriterTest, WritesReplacementsWithTheirOwnHeaderAndPatchedLength) {
  MovieBuilder builder(6);
  const uint32_t replaced = builder.AddChunk("TXTS", {1, 2, 3, 4});
  const uint32_t kept = builder.AddChunk("TXTS", {5});
  const uint32_t flagged = builder.AddChunk("DTIB", {6}, 1);
  const Bytes input = builder.Build();
  ReplacementTable table(builder.UsedCount());
  table.PutReplacement(replaced, Chunk{'X', 'Y', 'Z', 'W', 0, 0, 0, 0, 9, 9}, nullptr, nullptr);
  table.PutReplacement(flagged, Chunk(20, 1), nullptr, nullptr);

  ASSERT_EQ(Relay(input, &table), WriteStatus::kWritten);
  const std::string out = Output();
  const size_t header = builder.HeaderRegionLength();
  EXPECT_EQ(out.substr(header), std::string("XYZW\0\0\0\0\x09\x09", 10) + ChunkBytes("TXTS", std::string(1, 5)));
  EXPECT_EQ(LengthOf(out, replaced), 2u);
  EXPECT_EQ(OffsetOf(out, kept), header + 10);
  EXPECT_FALSE(table.Has(replaced));
  // A replacement for an entry that is not live stays unwritten; the entry keeps its fields.
  EXPECT_TRUE(table.Has(flagged));
  EXPECT_EQ(OffsetOf(out, flagged), builder.EntryOffset(flagged));
  EXPECT_EQ(LengthOf(out, flagged), 1u);
}

TEST_F(ContainerWriterTest, AMovieWithoutLiveChunksIsItsHeaderRegion) {
  MovieBuilder builder(3);
  builder.Append({1, 2, 3});
  ASSERT_EQ(Relay(builder.Build()), WriteStatus::kWritten);
  EXPECT_EQ(Output().size(), 76u + 60u);
  EXPECT_EQ(LengthOf(Output(), 0), 76u + 60u - 8u);
}

TEST_F(ContainerWriterTest, AMapWithoutSlotsHasNoEntryZeroToPatch) {
  MovieBuilder builder(0, false);
  ASSERT_EQ(Relay(builder.Build()), WriteStatus::kWritten);
  EXPECT_EQ(Output().size(), 76u);
}

TEST_F(ContainerWriterTest, RefusesAnOutputBeyondTheContainerLengthAndKeepsTheOlderOne) {
  // 4100 entries sharing one chunk of 1 MiB would re-lay to more than 4 GiB.
  constexpr uint32_t kEntries = 4100;
  MovieBuilder builder(kEntries + 3);
  const uint32_t big = builder.AddChunk("DTIB", Bytes(1 << 20, 7));
  for (uint32_t i = 1; i < kEntries; ++i) builder.AddEntry("DTIB", 1 << 20, builder.EntryOffset(big));
  dir_.WriteFile("out.dxr", "older");
  EXPECT_EQ(Relay(builder.Build()), WriteStatus::kTooLarge);
  EXPECT_EQ(Output(), "older");
  EXPECT_EQ(dir_.ListFiles(), std::vector<std::string>{"out.dxr"});
}

TEST_F(ContainerWriterTest, ReportsAnOutputThatCannotBeCreated) {
  MovieBuilder builder(4);
  builder.AddChunk("TXTS", {1});
  view_ = builder.Build();
  MovieView movie(view_.data(), view_.size());
  ReplacementTable table(movie.UsedCount());
  EXPECT_EQ(WriteContainer(movie, table, dir_.path() + "/missing/out.dxr"),
            WriteStatus::kCannotWrite);
}

}  // namespace
}  // namespace quillon
