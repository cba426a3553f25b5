#include "builders/row_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "builders/row_scan.h"

namespace quillon {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Pack(const Bytes& row) {
  Bytes packed(PackedRowBound(row.size()) + 1, 0xCC);  // one guard byte past the bound
  const size_t length = PackRow(row.data(), packed.data(), row.size());
  EXPECT_LE(length, PackedRowBound(row.size()));
  EXPECT_EQ(packed[PackedRowBound(row.size())], 0xCC);
  packed.resize(length);
  return packed;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }
Bytes Repeat(size_t count, uint8_t value) { return Bytes(count, value); }
Bytes Join(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}
Bytes Ascending(size_t count, uint8_t first = 0) {
  Bytes row(count);
  for (size_t i = 0; i < count; ++i) row[i] = static_cast<uint8_t>(first + i);
  return row;
}

struct PackCase {
  const char* name;
  Bytes row;
  Bytes packed;
};

TEST(PackRowTest, PacksTheDocumentedExamples) {
  const PackCase cases[] = {
      {"empty", {}, {}},
      {"AAAAB", Text("AAAAB"), {0xFD, 'A', 0x00, 'B'}},
      {"ABCDE", Text("ABCDE"), {0x04, 'A', 'B', 'C', 'D', 'E'}},
      {"AB", Text("AB"), {0x01, 'A', 'B'}},
      {"AA", Text("AA"), {0xFF, 'A'}},
      {"AAB", Text("AAB"), {0xFF, 'A', 0x00, 'B'}},
      {"ABB", Text("ABB"), {0x00, 'A', 0xFF, 'B'}},
      {"ABBA", Text("ABBA"), {0x00, 'A', 0xFF, 'B', 0x00, 'A'}},
      {"ABCC", Text("ABCC"), {0x01, 'A', 'B', 0xFF, 'C'}},
      {"A", Text("A"), {0x00, 'A'}},
      {"128xA", Repeat(128, 'A'), {0x81, 'A'}},
      {"129xA", Repeat(129, 'A'), {0x80, 'A'}},
      {"130xA", Repeat(130, 'A'), {0x80, 'A', 0x00, 'A'}},
      {"131xA", Repeat(131, 'A'), {0x80, 'A', 0xFF, 'A'}},
      {"258xA", Repeat(258, 'A'), {0x80, 'A', 0x80, 'A'}},
      {"00..80", Ascending(129), Join({{0x7F}, Ascending(128), {0x00, 0x80}})},
      {"128 unequal", Ascending(128), Join({{0x7F}, Ascending(128)})},
      // The pair at positions 127 and 128 would end a full run: the run stops after 126.
      {"pair at 127", Join({Ascending(126), Repeat(4, 0xEE)}),
       Join({{0x7D}, Ascending(126), {0xFD, 0xEE}})},
      // A full literal run is written whole even when the next byte equals its last.
      {"full then equal", Join({Ascending(128), {127, 127}}),
       Join({{0x7F}, Ascending(128), {0xFF, 127}})},
      {"A BB C DD", Text("ABBCDD"), {0x00, 'A', 0xFF, 'B', 0x00, 'C', 0xFF, 'D'}},
      {"A BB C", Text("ABBC"), {0x00, 'A', 0xFF, 'B', 0x00, 'C'}},
  };
  for (const PackCase& c : cases) {
    EXPECT_EQ(Pack(c.row), c.packed) << c.name;
  }
}

TEST(PackRowTest, AlternatingSinglesAndPairsReachTheBound) {
  // A BB C DD ... gives four bytes for every three, and a lone last byte gives two.
  Bytes row;
  for (uint8_t v = 1; v < 61; v += 2) {
    row.push_back(v);
    row.push_back(static_cast<uint8_t>(v + 1));
    row.push_back(static_cast<uint8_t>(v + 1));
  }
  EXPECT_EQ(Pack(row).size(), row.size() / 3 * 4);
  row.push_back(0xAA);
  EXPECT_EQ(Pack(row).size(), (row.size() - 1) / 3 * 4 + 2);
}

Bytes RandomRow(std::mt19937& random) {
  // Few distinct values, so that runs of every length turn up.
  const size_t length = random() % 700;
  const uint32_t alphabet = 1 + random() % 4;
  Bytes row(length);
  for (uint8_t& byte : row) byte = static_cast<uint8_t>(random() % alphabet);
  return row;
}

// Rows the scans and the packer are held to: every length to 300 in three patterns, runs of
// telling lengths at every position, runs across the packer's segments of 4096, random rows.
const std::vector<Bytes>& RowTable() {
  static const std::vector<Bytes> table = [] {
    std::vector<Bytes> rows;
    for (size_t length = 0; length <= 300; ++length) {
      Bytes singles_and_pairs(length);
      for (size_t i = 0; i < length; ++i) {
        singles_and_pairs[i] = static_cast<uint8_t>(i / 3 * 2 + (i % 3 != 0));
      }
      rows.insert(rows.end(), {Ascending(length), Repeat(length, 0x40), singles_and_pairs});
    }
    const auto add_run = [&rows](size_t length, size_t at, size_t run) {
      Bytes row = Ascending(length);
      std::fill(row.begin() + static_cast<long>(at),
                row.begin() + static_cast<long>(std::min(length, at + run)), 0xEE);
      rows.push_back(row);
    };
    for (const size_t run : {2u, 3u, 17u, 63u, 64u, 65u, 126u, 127u, 128u, 129u, 130u, 259u}) {
      for (size_t at = 0; at < 300; ++at) add_run(300, at, run);
    }
    for (const size_t run : {2u, 3u, 129u, 300u}) {
      for (size_t at = 4096 - 140; at < 4096 + 140; ++at) add_run(4496, at, run);
    }
    rows.push_back(Repeat(3 * 4096 + 77, 0));
    std::mt19937 random(20261209);
    for (int i = 0; i < 2000; ++i) rows.push_back(RandomRow(random));
    return rows;
  }();
  return table;
}

// An exactly sized copy, so that the address sanitizer sees a step past it.
std::unique_ptr<uint8_t[]> Exact(const Bytes& bytes, size_t size) {
  auto copy = std::make_unique<uint8_t[]>(std::max<size_t>(size, 1));
  std::copy(bytes.begin(), bytes.end(), copy.get());
  return copy;
}

TEST(RowScanTest, SimdAndPortableScansMarkExactlyTheEqualNeighbours) {
  for (const Bytes& row : RowTable()) {
    // Three words more than the row needs: those past it must come out clear.
    std::vector<uint64_t> expected((row.size() + kMarkBits - 1) / kMarkBits + 3);
    for (size_t i = 0; i + 1 < row.size(); ++i) {
      if (row[i] == row[i + 1]) expected[i / kMarkBits] |= uint64_t{1} << (i % kMarkBits);
    }
    for (const auto scan : {MarkEqualNeighbours, MarkEqualNeighboursPortable}) {
      std::vector<uint64_t> words(expected.size(), ~uint64_t{0});
      scan(Exact(row, row.size()).get(), row.size(), words.size(), words.data());
      ASSERT_EQ(words, expected) << "row of " << row.size();
    }
  }
}

// The greedy rule one byte at a time: a repeat run at two equal bytes, taking up to 129; else a
// literal run that ends before the first two equal bytes, or full at 128.
Bytes PackByteByByte(const Bytes& row) {
  Bytes packed;
  for (size_t next = 0; next < row.size();) {
    size_t end = next + 1;
    if (end < row.size() && row[end] == row[next]) {
      while (end < row.size() && end - next < 129 && row[end] == row[next]) ++end;
      packed.insert(packed.end(), {static_cast<uint8_t>(257 - (end - next)), row[next]});
    } else {
      while (end < row.size() && end - next < 128 &&
             !(end + 1 < row.size() && end - next < 127 && row[end] == row[end + 1])) {
        ++end;
      }
      packed.push_back(static_cast<uint8_t>(end - next - 1));
      packed.insert(packed.end(), row.begin() + static_cast<long>(next),
                    row.begin() + static_cast<long>(end));
    }
    next = end;
  }
  return packed;
}

TEST(PackRowTest, PacksEveryRowOfTheTableAsTheGreedyRuleDoesByteByByte) {
  for (const Bytes& row : RowTable()) {
    const size_t bound = PackedRowBound(row.size());
    const auto destination = Exact({}, bound);
    const size_t length = PackRow(Exact(row, row.size()).get(), destination.get(), row.size());
    ASSERT_LE(length, bound);
    ASSERT_EQ(Bytes(destination.get(), destination.get() + length), PackByteByByte(row))
        << "row of " << row.size();
  }
}

TEST(RowCodecTest, UnpackReversesPackOnRandomRows) {
  std::mt19937 random(20261208);
  for (int i = 0; i < 3000; ++i) {
    const Bytes row = RandomRow(random);
    const Bytes packed = Pack(row);
    Bytes unpacked(row.size() + 3);
    size_t count = unpacked.size();
    ASSERT_EQ(UnpackRow(packed.data(), packed.size(), unpacked.data(), count), UnpackStatus::kOk);
    unpacked.resize(count);
    ASSERT_EQ(unpacked, row);
    // No literal run of the packer holds two equal neighbours.
    for (size_t at = 0; at < packed.size();) {
      const uint8_t header = packed[at];
      if (header >= 0x80) {
        at += 2;
        continue;
      }
      for (size_t k = at + 2; k <= at + 1 + header; ++k) ASSERT_NE(packed[k], packed[k - 1]);
      at += size_t{header} + 2;
    }
  }
}

TEST(UnpackRowTest, FillsExactlyTheCapacityAndNoMore) {
  const Bytes row = Join({Text("ABCDE"), Repeat(40, 'Z'), Text("Q")});
  const Bytes packed = Pack(row);
  for (size_t capacity = 0; capacity <= row.size(); ++capacity) {
    Bytes out(capacity + 1, 0x55);
    size_t count = capacity;
    const UnpackStatus status = UnpackRow(packed.data(), packed.size(), out.data(), count);
    if (capacity == row.size()) {
      EXPECT_EQ(status, UnpackStatus::kOk);
      EXPECT_EQ(count, row.size());
    } else {
      EXPECT_EQ(status, UnpackStatus::kOverflow) << capacity;
      EXPECT_EQ(count, capacity);
      EXPECT_TRUE(std::equal(out.begin(), out.begin() + static_cast<long>(capacity), row.begin()));
    }
    EXPECT_EQ(out[capacity], 0x55) << "wrote past the capacity " << capacity;
  }
}

TEST(UnpackRowTest, ReadsEveryRepeatHeaderAsTheCountThePackerMeant) {
  for (unsigned header = 0x80; header <= 0xFF; ++header) {
    const uint8_t packed[] = {static_cast<uint8_t>(header), 0x42};
    Bytes out(200);
    size_t count = out.size();
    ASSERT_EQ(UnpackRow(packed, 2, out.data(), count), UnpackStatus::kOk);
    EXPECT_EQ(count, 257 - header);
  }
}

TEST(UnpackRowTest, RefusesRunsCutShortWithoutReadingPastThem) {
  const Bytes cases[] = {{0x03, 'A', 'B', 'C'}, {0x80}, {0x00, 'A', 0xFF}, {0x7F}};
  for (const Bytes& packed : cases) {
    // An exactly sized copy, so that ASan sees any read past the end.
    const auto copy = std::make_unique<uint8_t[]>(packed.size());
    std::copy(packed.begin(), packed.end(), copy.get());
    Bytes out(300);
    size_t count = out.size();
    EXPECT_EQ(UnpackRow(copy.get(), packed.size(), out.data(), count), UnpackStatus::kTruncated);
    EXPECT_EQ(count, out.size());
  }
}

TEST(UnpackRowTest, CopiesLiteralRunsWhateverTheirBytes) {
  const Bytes packed = {0x03, 0x80, 0xFF, 0x80, 0x00};
  Bytes out(4);
  size_t count = out.size();
  ASSERT_EQ(UnpackRow(packed.data(), packed.size(), out.data(), count), UnpackStatus::kOk);
  EXPECT_EQ(out, (Bytes{0x80, 0xFF, 0x80, 0x00}));
}

TEST(SpellOutLastRepeatRunTest, WritesTheLastRepeatRunAsLiteralsOfItsBytes) {
  struct Case {
    const char* name;
    Bytes packed;
    size_t begin;
    Bytes expected;
  };
  const Case cases[] = {
      {"two copies", {0xFF, 'A'}, 0, {0x01, 'A', 'A'}},
      {"the last of several",
       {0xFE, 'A', 0x01, 'B', 'C', 0xFF, 'D', 0x00, 'E'},
       0,
       {0xFE, 'A', 0x01, 'B', 'C', 0x01, 'D', 'D', 0x00, 'E'}},
      {"128 copies", {0x81, 'A'}, 0, Join({{0x7F}, Repeat(128, 'A')})},
      {"129 copies", {0x80, 'A'}, 0, Join({{0x7F}, Repeat(128, 'A'), {0x00, 'A'}})},
      // A literal byte equal to a header is data, not a run.
      {"inside literals",
       {0xFF, 'A', 0x02, 0x80, 0xFE, 0xFF},
       0,
       {0x01, 'A', 'A', 0x02, 0x80, 0xFE, 0xFF}},
      {"from begin on",
       {'D', 'T', 'I', 'B', 0xFE, 'x'},
       4,
       {'D', 'T', 'I', 'B', 0x02, 'x', 'x', 'x'}},
  };
  for (const Case& c : cases) {
    Bytes packed = c.packed;
    EXPECT_TRUE(SpellOutLastRepeatRun(packed, c.begin)) << c.name;
    EXPECT_EQ(packed, c.expected) << c.name;
  }
}

TEST(SpellOutLastRepeatRunTest, LeavesPackedBytesWithoutARepeatRunAlone) {
  for (const Bytes& original : {Bytes{}, Bytes{0x01, 'A', 'B'}, Bytes{0xFF, 'A'}}) {
    Bytes packed = original;
    // The last case is read from its second byte on: a literal header without its bytes.
    EXPECT_FALSE(SpellOutLastRepeatRun(packed, original.size() == 2 ? 1 : 0));
    EXPECT_EQ(packed, original);
  }
}

TEST(SpellOutLastRepeatRunTest, RowsUnpackAsBeforeAndTheLengthGrows) {
  std::mt19937 random(20261209);
  for (int round = 0; round < 300; ++round) {
    Bytes row(random() % 300 + 2);
    for (uint8_t& byte : row) byte = static_cast<uint8_t>(random() % 3);
    Bytes packed = Pack(row);
    const size_t before = packed.size();
    if (!SpellOutLastRepeatRun(packed, 0)) continue;
    EXPECT_GT(packed.size(), before);
    EXPECT_LE(packed.size(), before + 129);
    Bytes unpacked(row.size());
    size_t count = unpacked.size();
    ASSERT_EQ(UnpackRow(packed.data(), packed.size(), unpacked.data(), count), UnpackStatus::kOk);
    EXPECT_EQ(count, row.size());
    EXPECT_EQ(unpacked, row);
  }
}

}  // namespace
}  // namespace quillon
