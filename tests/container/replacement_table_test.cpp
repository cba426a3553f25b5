#include "container/replacement_table.h"

#include <gtest/gtest.h>

#include "driver/report.h"
#include "tests/support/scratch_dir.h"

namespace quillon {
namespace {

constexpr char kCollision[] = "Frames collision! Frame %04X was alread patched!!! Deleting previous patch...\n";

TEST(ReplacementTableTest, LaterProducerWinsAndTheCollisionIsLogged) {
  test::ScratchDir dir;
  {
    Log log(Log::OpenFile(dir.path() + "/run.log"));
    ReplacementTable table(0x20);
    EXPECT_TRUE(table.PutReplacement(0x1A, Chunk(8, 1), &log, kCollision));
    EXPECT_TRUE(table.PutReplacement(0x1A, Chunk(9, 2), &log, kCollision));
    EXPECT_TRUE(table.PutReplacement(0x1B, Chunk(8, 3), nullptr, nullptr));
    EXPECT_TRUE(table.PutReplacement(0x1B, Chunk(10, 4), nullptr, nullptr));
    ASSERT_TRUE(table.Has(0x1A));
    EXPECT_EQ(*table.Get(0x1A), Chunk(9, 2));
    EXPECT_EQ(*table.Get(0x1B), Chunk(10, 4));
  }
  EXPECT_EQ(dir.ReadTextFile("run.log"),
            "Frames collision! Frame 001A was alread patched!!! Deleting previous patch...\n");
}

TEST(ReplacementTableTest, RefusesSlotsOutsideTheTableAndChunksWithoutAHeader) {
  ReplacementTable table(3);
  EXPECT_FALSE(table.PutReplacement(3, Chunk(8), nullptr, nullptr));
  EXPECT_FALSE(table.PutReplacement(0xFFFFFFFF, Chunk(8), nullptr, nullptr));
  EXPECT_FALSE(table.PutReplacement(0, Chunk(7), nullptr, nullptr));
  EXPECT_FALSE(table.Has(0));
  EXPECT_FALSE(table.Has(3));
  EXPECT_EQ(table.Get(3), nullptr);
}

TEST(ReplacementTableTest, TakeEmptiesTheSlot) {
  ReplacementTable table(2);
  table.PutReplacement(1, Chunk(12, 7), nullptr, nullptr);
  Chunk taken;
  EXPECT_FALSE(table.Take(0, taken));
  ASSERT_TRUE(table.Take(1, taken));
  EXPECT_EQ(taken, Chunk(12, 7));
  EXPECT_FALSE(table.Has(1));
  EXPECT_FALSE(table.Take(1, taken));
}

}  // namespace
}  // namespace quillon
