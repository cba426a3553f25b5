#include "tests/builders/row_table.h"

#include <random>

namespace quillon::test {
namespace {

constexpr size_t kLongest = 300;
constexpr size_t kSegment = 4096;

// No two neighbours equal.
Row Ascending(size_t length) {
  Row row(length);
  for (size_t i = 0; i < length; ++i) row[i] = static_cast<uint8_t>(i);
  return row;
}

// A run of `run` copies of one value from `at` on (cut at the row's end) among unequal bytes.
Row WithRun(size_t length, size_t at, size_t run) {
  Row row = Ascending(length);
  for (size_t i = at; i < at + run && i < length; ++i) row[i] = 0xEE;
  return row;
}

// A BB C DD ...: runs of one and two in turn.
Row SinglesAndPairs(size_t length) {
  Row row(length);
  for (size_t i = 0; i < length; ++i) row[i] = static_cast<uint8_t>(i / 3 * 2 + (i % 3 != 0));
  return row;
}

std::vector<Row> MakeTable() {
  std::vector<Row> rows;
  for (size_t length = 0; length <= kLongest; ++length) {
    rows.push_back(Ascending(length));
    rows.push_back(Row(length, 0x40));
    rows.push_back(SinglesAndPairs(length));
  }
  // Runs that end a literal, fill a word of marks, reach past one, and fill or pass a run.
  for (const size_t run : {2u, 3u, 17u, 63u, 64u, 65u, 126u, 127u, 128u, 129u, 130u, 200u, 259u}) {
    for (size_t at = 0; at < kLongest; ++at) rows.push_back(WithRun(kLongest, at, run));
  }
  for (const size_t run : {2u, 3u, 129u, 300u}) {
    for (size_t at = kSegment - 140; at < kSegment + 140; ++at) {
      rows.push_back(WithRun(kSegment + 400, at, run));
    }
  }
  rows.push_back(Row(3 * kSegment + 77, 0));
  std::mt19937 random(20261209);
  for (int i = 0; i < 2000; ++i) {
    Row row(random() % (kLongest + 1));
    const uint32_t values = 1 + random() % 4;
    for (uint8_t& byte : row) byte = static_cast<uint8_t>(random() % values);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

const std::vector<Row>& RowTable() {
  static const std::vector<Row> table = MakeTable();
  return table;
}

std::string Describe(const Row& row) {
  std::string text = "row of " + std::to_string(row.size()) + " bytes:";
  for (size_t i = 0; i < row.size() && i < 24; ++i) text += " " + std::to_string(row[i]);
  return text;
}

}  // namespace quillon::test
