#include "builders/stxt.h"

#include <gtest/gtest.h>

#include "fixtures/movie_builder.h"

namespace quillon {
namespace {

using test::Bytes;
using test::MovieBuilder;

TEST(StxtTest, ReadsOnlyAChunkWhoseLengthsAndRunsFitItsData) {
  const Bytes good = MovieBuilder::TextChunk("abc", {0, 1});  // 12 + 3 + 42 bytes
  const auto with = [&](size_t at, uint8_t value) {
    Bytes bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* name;
    Bytes data;
    bool readable;
  } cases[] = {
      {"as made", good, true},
      {"a header length of 11", with(3, 11), false},
      {"a text past the data", with(7, 60), false},
      {"style data past the data", with(11, 43), false},
      {"style data without a run count", with(11, 1), false},
      {"more runs than the style data holds", with(16, 3), false},
      {"cut inside the runs", Bytes(good.begin(), good.end() - 1), false},
      {"shorter than its header", Bytes(good.begin(), good.begin() + 11), false},
  };
  for (const auto& c : cases) {
    StxtChunk stxt;
    EXPECT_EQ(ReadStxt(ByteReader(c.data.data(), c.data.size()), stxt), c.readable) << c.name;
  }
  StxtChunk stxt;
  ASSERT_TRUE(ReadStxt(ByteReader(good.data(), good.size()), stxt));
  EXPECT_EQ(stxt.text.data(), good.data() + 12);
  EXPECT_EQ(stxt.text.size(), 3u);
  EXPECT_EQ(stxt.run_count, 2);
  EXPECT_EQ(stxt.runs.data(), good.data() + 17);
  EXPECT_EQ(stxt.runs.size(), 40u);
}

}  // namespace
}  // namespace quillon
