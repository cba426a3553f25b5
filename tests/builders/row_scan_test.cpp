#include "builders/row_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "tests/builders/row_table.h"

namespace quillon {
namespace {

using Words = std::vector<uint64_t>;

// Three words more than the row needs: those past the row must come out clear.
size_t WordsFor(size_t length) { return (length + kMarkBits - 1) / kMarkBits + 3; }

Words Expected(const test::Row& row) {
  Words words(WordsFor(row.size()));
  for (size_t i = 0; i + 1 < row.size(); ++i) {
    if (row[i] == row[i + 1]) words[i / kMarkBits] |= uint64_t{1} << (i % kMarkBits);
  }
  return words;
}

using Scan = void (*)(const uint8_t*, size_t, size_t, uint64_t*);

// Scans an exactly sized copy, so that the address sanitizer sees a read past the row.
Words Marks(Scan scan, const test::Row& row) {
  auto exact = std::make_unique<uint8_t[]>(std::max<size_t>(row.size(), 1));
  std::copy(row.begin(), row.end(), exact.get());
  Words words(WordsFor(row.size()), ~uint64_t{0});
  scan(exact.get(), row.size(), words.size(), words.data());
  return words;
}

TEST(RowScanTest, SimdAndPortableScansMarkExactlyTheEqualNeighbours) {
  for (const test::Row& row : test::RowTable()) {
    const Words expected = Expected(row);
    ASSERT_EQ(Marks(MarkEqualNeighboursPortable, row), expected) << test::Describe(row);
    ASSERT_EQ(Marks(MarkEqualNeighbours, row), expected) << test::Describe(row);
  }
}

}  // namespace
}  // namespace quillon
