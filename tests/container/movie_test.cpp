#include "container/movie.h"

#include <gtest/gtest.h>

#include "fixtures/movie_builder.h"
#include "util/byte_reader.h"

namespace quillon {
namespace {

using test::Bytes;
using test::EntryFieldOffset;
using test::MovieBuilder;

// Entries 0-2 standard, 3 a live chunk, 4 free, 5 flagged; 8 slots.
Bytes SmallMovie(ByteOrder order = ByteOrder::kLittle) {
  MovieBuilder movie(8, true, order);
  movie.AddChunk("TXTS", {1, 2, 3});
  movie.AddFreeEntry();
  movie.AddChunk("DTIB", {4, 5}, 1);
  return movie.Build();
}

// In the order of the movie `bytes` holds.
void PutU32(Bytes& bytes, size_t offset, uint32_t value) {
  const bool mac = std::equal(bytes.begin(), bytes.begin() + 4, "RIFX");
  StoreU32(bytes.data() + offset, value, mac ? ByteOrder::kBig : ByteOrder::kLittle);
}

bool Check(const Bytes& bytes) {
  return static_cast<bool>(CheckContainer(bytes.data(), bytes.size()));
}

TEST(CheckContainerTest, AcceptsAWellFormedMovieOfEitherByteOrderWithAnyFormType) {
  for (const ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    Bytes bytes = SmallMovie(order);
    EXPECT_TRUE(Check(bytes));
    std::copy_n("\xFF?? ", 4, bytes.begin() + test::kFormTypeOffset);
    EXPECT_TRUE(Check(bytes));
  }
}

// A four-character type stored as the movie `bytes` holds stores it.
void PutType(Bytes& bytes, size_t offset, const char* type) {
  StoreTag(type, bytes[0] == 'R' ? ByteOrder::kBig : ByteOrder::kLittle, &bytes[offset]);
}

TEST(CheckContainerTest, RefusesBrokenHeadersAndMapsThatLeadOutsideTheFileSayingWhy) {
  using Status = ContainerStatus;
  struct Case {
    const char* name;
    void (*spoil)(Bytes&);
    Status status;
    const char* damage;
  };
  const Case cases[] = {
      {"the other byte order's magic",
       [](Bytes& b) { std::copy_n(b[0] == 'R' ? "XFIR" : "RIFX", 4, b.begin()); },
       Status::kNotAContainer, ""},
      {"neither magic", [](Bytes& b) { b[0] = 'Q'; }, Status::kNotAContainer, ""},
      {"cut inside the magic", [](Bytes& b) { b.resize(3); }, Status::kNotAContainer, ""},
      {"compressed", [](Bytes& b) { PutType(b, test::kFormTypeOffset, "FGDM"); },
       Status::kCompressed, ""},
      {"compressed cast", [](Bytes& b) { PutType(b, test::kFormTypeOffset, "FGDC"); },
       Status::kCompressed, ""},
      {"imap tag", [](Bytes& b) { b[12] = 'P'; }, Status::kNotAContainer, ""},
      {"mmap tag", [](Bytes& b) { b[47] = 'M'; }, Status::kNotAContainer, ""},
      {"imap points beyond the file", [](Bytes& b) { PutU32(b, 24, 0x10000); },
       Status::kMapOutsideFile, "map outside the file"},
      {"cut before the imap's pointer", [](Bytes& b) { b.resize(26); }, Status::kTruncated,
       "truncated"},
      {"header size", [](Bytes& b) { b[52] = 25; }, Status::kMapHeaderSize,
       "map header of another size"},
      {"entry size", [](Bytes& b) { b[54] = 21; }, Status::kMapHeaderSize,
       "map header of another size"},
      {"shorter than the tested bytes", [](Bytes& b) { b.resize(55); }, Status::kTruncated,
       "truncated"},
      {"header region beyond the file",
       [](Bytes& b) { PutU32(b, test::kEntryCapacityOffset, 1000); }, Status::kTruncated,
       "truncated"},
      {"capacity product wraps",
       [](Bytes& b) { PutU32(b, test::kEntryCapacityOffset, 0xFFFFFFFF); }, Status::kTruncated,
       "truncated"},
      {"usedCount above capacity", [](Bytes& b) { PutU32(b, test::kUsedCountOffset, 9); },
       Status::kMapHeaderSize, "map header of another size"},
      {"live chunk past the end", [](Bytes& b) { PutU32(b, EntryFieldOffset(3, 4), 100); },
       Status::kChunkOutsideFile, "chunk 0003 outside the file"},
      {"live chunk offset past the end",
       [](Bytes& b) { PutU32(b, EntryFieldOffset(3, 8), 0xFFFFFFF0); },
       Status::kChunkOutsideFile, "chunk 0003 outside the file"},
      {"offset + 8 + length wraps 32 bits",
       [](Bytes& b) {
         PutU32(b, EntryFieldOffset(3, 4), 0xFFFFFFF8);
         PutU32(b, EntryFieldOffset(3, 8), 0x100);
       },
       Status::kChunkOutsideFile, "chunk 0003 outside the file"},
  };
  for (const ByteOrder order : {ByteOrder::kLittle, ByteOrder::kBig}) {
    for (const Case& c : cases) {
      Bytes bytes = SmallMovie(order);
      c.spoil(bytes);
      const ContainerCheck check = CheckContainer(bytes.data(), bytes.size());
      EXPECT_EQ(check.status, c.status) << c.name << (order == ByteOrder::kBig ? " (RIFX)" : "");
      EXPECT_EQ(DescribeDamage(check), c.damage) << c.name;
    }
  }
}

// A movie saved without compacting is read through the map the imap points at, in which flags
// do not mark liveness; only free, junk and map entries and the header's own are not chunks.
TEST(MovieViewTest, FollowsTheImapToTheCurrentMap) {
  for (const auto at_44 : {MovieBuilder::At44::kOlderMap, MovieBuilder::At44::kChunk}) {
    MovieBuilder builder(8);
    builder.MoveMapToEnd(at_44);
    const uint32_t text = builder.AddChunk("TXTS", {1});
    const uint32_t flagged = builder.AddChunk("DTIB", {2}, 0x80);
    builder.AddEntry("knuj", 100, 44, 4);
    builder.AddFreeEntry();
    Bytes bytes = builder.Build();
    ASSERT_TRUE(CheckContainer(bytes.data(), bytes.size()));
    const MovieView movie(bytes.data(), bytes.size());
    EXPECT_FALSE(movie.IsCompacted());
    EXPECT_EQ(movie.MapOffset(), builder.MapOffset());
    EXPECT_EQ(movie.UsedCount(), 7u);
    for (uint32_t i = 0; i < movie.UsedCount(); ++i) {
      EXPECT_EQ(movie.IsLive(i), i == text || i == flagged) << i;
    }
  }
}

TEST(CheckContainerTest, RefusesAFileLongerThanAnyContainer) {
  const Bytes bytes = SmallMovie();
  // Refused on its size alone, before any byte is read: the view here is only the small movie.
  EXPECT_FALSE(CheckContainer(bytes.data(), static_cast<size_t>(kMaxContainerLength + 1)));
}

TEST(CheckContainerTest, DoesNotCareWhereEntriesThatAreNotLivePoint) {
  Bytes bytes = SmallMovie();
  PutU32(bytes, EntryFieldOffset(4, 8), 0xFFFFFFF0);  // free
  PutU32(bytes, EntryFieldOffset(5, 4), 0xFFFFFFF0);  // flagged
  PutU32(bytes, EntryFieldOffset(6, 8), 0xFFFFFFF0);  // beyond usedCount
  EXPECT_TRUE(Check(bytes));
}

// The same movie in both byte orders reads alike: the map in the file's order, every tag in
// reading order.
TEST(MovieViewTest, AMacMovieReadsAsTheSameMovieAsAWindowsOne) {
  Bytes windows = SmallMovie();
  Bytes mac = SmallMovie(ByteOrder::kBig);
  EXPECT_EQ(std::string(mac.begin(), mac.begin() + 4), "RIFX");
  EXPECT_EQ(LoadU32Be(mac.data() + 4), mac.size() - 8);
  EXPECT_EQ(std::string(mac.begin() + 8, mac.begin() + 16), "MV93imap");
  const MovieView a(windows.data(), windows.size());
  const MovieView b(mac.data(), mac.size());
  EXPECT_EQ(a.order(), ByteOrder::kLittle);
  EXPECT_EQ(b.order(), ByteOrder::kBig);
  ASSERT_EQ(a.UsedCount(), b.UsedCount());
  EXPECT_EQ(a.EntryCapacity(), b.EntryCapacity());
  for (uint32_t i = 0; i < a.UsedCount(); ++i) {
    EXPECT_EQ(TypeName(a.Entry(i)), TypeName(b.Entry(i))) << i;
    EXPECT_EQ(a.Entry(i).length, b.Entry(i).length) << i;
    EXPECT_EQ(a.Entry(i).offset, b.Entry(i).offset) << i;
    EXPECT_EQ(a.IsLive(i), b.IsLive(i)) << i;
  }
  EXPECT_TRUE(b.EntryTypeIs(3, "STXT"));
  EXPECT_EQ(std::string(b.StoredTag(3), b.StoredTag(3) + 4), "STXT");
  EXPECT_EQ(std::string(a.StoredTag(3), a.StoredTag(3) + 4), "TXTS");
  uint32_t length = 0;
  EXPECT_EQ(FindChunk(b, "STXT", length), b.ChunkData(3, 3));
  EXPECT_EQ(length, 3u);
}

TEST(MovieViewTest, LiveEntriesAreUnflaggedChunksOutsideTheHeaderRegion) {
  MovieBuilder builder(10);
  const uint32_t text = builder.AddChunk("TXTS", {1});
  const uint32_t free_entry = builder.AddFreeEntry();
  const uint32_t flagged = builder.AddChunk("DTIB", {2}, 0x100);
  const uint32_t second_map = builder.AddChunk("pamm", {3});
  const uint32_t in_header = builder.AddEntry("TXTS", 4, 12);
  const uint32_t at_header_end = builder.AddEntry("TXTS", 0, builder.HeaderRegionLength());
  Bytes bytes = builder.Build();
  const MovieView movie(bytes.data(), bytes.size());
  EXPECT_FALSE(movie.IsLive(0));
  EXPECT_FALSE(movie.IsLive(1));
  EXPECT_FALSE(movie.IsLive(2));
  EXPECT_TRUE(movie.IsLive(text));
  EXPECT_FALSE(movie.IsLive(free_entry));
  EXPECT_FALSE(movie.IsLive(flagged));
  EXPECT_FALSE(movie.IsLive(second_map));
  EXPECT_FALSE(movie.IsLive(in_header));
  EXPECT_TRUE(movie.IsLive(at_header_end));
}

TEST(MovieViewTest, ReadsAndPatchesMapFields) {
  Bytes bytes = SmallMovie();
  MovieView movie(bytes.data(), bytes.size());
  EXPECT_EQ(movie.EntryCapacity(), 8u);
  EXPECT_EQ(movie.UsedCount(), 6u);
  EXPECT_EQ(movie.HeaderRegionLength(), 76u + 160u);
  const MapEntry entry = movie.Entry(3);
  EXPECT_EQ(std::string(entry.type, 4), "STXT");
  EXPECT_EQ(entry.length, 3u);
  EXPECT_EQ(entry.offset, 236u);
  movie.SetEntryOffset(3, 0x01020304);
  movie.SetEntryLength(3, 0x0A0B0C0D);
  movie.SetContainerLength(0x11223344);
  EXPECT_EQ(LoadU32Le(&bytes[EntryFieldOffset(3, 8)]), 0x01020304u);
  EXPECT_EQ(LoadU32Le(&bytes[EntryFieldOffset(3, 4)]), 0x0A0B0C0Du);
  EXPECT_EQ(LoadU32Le(&bytes[4]), 0x11223344u);
}

TEST(MovieViewTest, ChunkDataIsRefusedWhenItLeavesTheFile) {
  Bytes bytes = SmallMovie();
  const MovieView movie(bytes.data(), bytes.size());
  EXPECT_EQ(movie.ChunkData(3, 3), bytes.data() + 236 + 8);
  EXPECT_EQ(movie.ChunkData(5, 2), bytes.data() + bytes.size() - 2);
  EXPECT_EQ(movie.ChunkData(5, 3), nullptr);
}

TEST(FindChunkTest, FindsTheLowestMatchingEntryWhateverItsFlags) {
  MovieBuilder builder(8);
  builder.AddChunk("TXTS", {9});
  const uint32_t first = builder.AddChunk("*SAC", {1, 2, 3, 4, 5}, 0x4);
  builder.AddChunk("*SAC", {6});
  Bytes bytes = builder.Build();
  const MovieView movie(bytes.data(), bytes.size());
  uint32_t length = 77;
  EXPECT_EQ(FindChunk(movie, kTypeCastTable, length), movie.ChunkData(first, 5));
  EXPECT_EQ(length, 5u);

  length = 77;
  EXPECT_EQ(FindChunk(movie, kTypeKeyTable, length), nullptr);
  EXPECT_EQ(length, 77u);
}

TEST(FindChunkTest, RefusesAMatchWhoseDataLeavesTheFile) {
  MovieBuilder builder(4);
  builder.AddEntry("*YEK", 100, 80);
  Bytes bytes = builder.Build();
  const MovieView movie(bytes.data(), bytes.size());
  uint32_t length = 77;
  EXPECT_EQ(FindChunk(movie, kTypeKeyTable, length), nullptr);
  EXPECT_EQ(length, 77u);
}

}  // namespace
}  // namespace quillon
