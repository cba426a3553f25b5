#include "container/replacement_table.h"

#include <gtest/gtest.h>


namespace quillon {
namespace {

TEST(ReplacementTableTest, LaterProducerWinsAndTellsItDisplacedAChunk) {
  ReplacementTable table(0x20);
  EXPECT_EQ(table.PutReplacement(0x1A, Chunk(8, 1)), PutOutcome::kStored);
  EXPECT_EQ(table.PutReplacement(0x1A, Chunk(9, 2)), PutOutcome::kDisplaced);
  EXPECT_EQ(table.PutReplacement(0x1B, Chunk(8, 3)), PutOutcome::kStored);
  EXPECT_EQ(table.PutReplacement(0x1B, Chunk(10, 4)), PutOutcome::kDisplaced);
  ASSERT_TRUE(table.Has(0x1A));
  EXPECT_EQ(*table.Get(0x1A), Chunk(9, 2));
  EXPECT_EQ(*table.Get(0x1B), Chunk(10, 4));
}

TEST(ReplacementTableTest, RefusesSlotsOutsideTheTableAndChunksWithoutAHeader) {
  ReplacementTable table(3);
  EXPECT_EQ(table.PutReplacement(3, Chunk(8)), PutOutcome::kRefused);
  EXPECT_EQ(table.PutReplacement(0xFFFFFFFF, Chunk(8)), PutOutcome::kRefused);
  EXPECT_EQ(table.PutReplacement(0, Chunk(7)), PutOutcome::kRefused);
  EXPECT_FALSE(table.Has(0));
  EXPECT_FALSE(table.Has(3));
  EXPECT_EQ(table.Get(3), nullptr);
}

TEST(ReplacementTableTest, TakeEmptiesTheSlot) {
  ReplacementTable table(2);
  table.PutReplacement(1, Chunk(12, 7));
  Chunk taken;
  EXPECT_FALSE(table.Take(0, taken));
  ASSERT_TRUE(table.Take(1, taken));
  EXPECT_EQ(taken, Chunk(12, 7));
  EXPECT_FALSE(table.Has(1));
  EXPECT_FALSE(table.Take(1, taken));
}

}  // namespace
}  // namespace quillon
