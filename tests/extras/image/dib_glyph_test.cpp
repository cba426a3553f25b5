#include "extras/image/dib_glyph.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "extras/image/dib_paint.h"

namespace quillon {
namespace {

constexpr uint32_t kInk = 0x00FFFFFFu;

struct Measured {
  int32_t width, height, left, top;
};

// A 24-bit image of `width` x `height`, key colour 0, with ink at the given points.
void MakeImage(CDib& dib, int32_t width, int32_t height,
               const std::vector<std::pair<int32_t, int32_t>>& ink) {
  ASSERT_TRUE(dib.Create(24, width, height));
  for (const auto& [x, y] : ink) dib.SetPixel24(x, y, kInk);
}

Measured Measure(const GlyphSheet& sheet, int32_t x, int32_t y, int32_t cell_width,
                 int32_t cell_height) {
  const GlyphCell cell = MeasureGlyph(sheet, x, y, cell_width, cell_height);
  EXPECT_EQ(cell.x, x);
  EXPECT_EQ(cell.y, y);
  return {cell.width, cell.height, cell.left, cell.top};
}

TEST(MeasureGlyphTest, WorkedCells) {
  const struct {
    const char* name;
    std::vector<std::pair<int32_t, int32_t>> ink;  // relative to the cell at (2, 1)
    Measured expected;
  } cases[] = {
      {"single pixel at column 3, row 5", {{3, 5}}, {4, 6, 3, 5}},
      {"only the last column", {{5, 0}, {5, 4}, {5, 7}}, {1, 1, 0, 0}},
      {"empty", {}, {1, 1, 0, 0}},
      {"a box from (1, 2) to (4, 6)", {{1, 2}, {4, 6}, {2, 3}}, {5, 7, 1, 2}},
      {"ink only in the last row", {{2, 7}}, {3, 1, 2, 0}},
  };
  for (const auto& c : cases) {
    std::vector<std::pair<int32_t, int32_t>> ink;
    for (const auto& [x, y] : c.ink) ink.push_back({x + 2, y + 1});
    CDib dib;
    MakeImage(dib, 12, 12, ink);
    const Measured m = Measure({dib, 0}, 2, 1, 6, 8);
    EXPECT_EQ(m.width, c.expected.width) << c.name;
    EXPECT_EQ(m.height, c.expected.height) << c.name;
    EXPECT_EQ(m.left, c.expected.left) << c.name;
    EXPECT_EQ(m.top, c.expected.top) << c.name;
  }
}

TEST(MeasureGlyphTest, InkIsWhatDiffersFromTheKey) {
  CDib dib;
  ASSERT_TRUE(dib.Create(24, 8, 8));
  Fill(dib, kInk);
  dib.SetPixel24(2, 3, 0);
  const Measured m = Measure({dib, kInk}, 0, 0, 8, 8);
  EXPECT_EQ(m.width, 3);
  EXPECT_EQ(m.height, 4);
  EXPECT_EQ(m.left, 2);
  EXPECT_EQ(m.top, 3);
}

// A 16 x 8 grid of 8 x 10 cells (128 x 80) with ink at the given cells' local points.
void MakeGrid(CDib& dib, const std::vector<std::tuple<int32_t, int32_t, int32_t>>& ink) {
  ASSERT_TRUE(dib.Create(24, 128, 80));
  for (const auto& [cell, x, y] : ink) {
    dib.SetPixel24(cell % 16 * 8 + 1 + x, cell / 16 * 10 + 1 + y, kInk);
  }
}

TEST(MeasureGlyphGridTest, EmptySpaceTakesItsSizeFromA) {
  CDib dib;
  // "a" (97): ink from column 1 to 3, rows 2 to 4; "W" (87) is the widest and tallest.
  MakeGrid(dib, {{97, 1, 2}, {97, 3, 4}, {87, 4, 6}, {65, 0, 0}});
  std::array<int32_t, 2> max_size = {-1, -1};
  std::vector<GlyphCell> cells(128);
  ASSERT_TRUE(MeasureGlyphGrid({dib, 0}, max_size, cells, 0, 127, 8, 16));
  EXPECT_EQ(cells[97].x, 1 * 8 + 1);
  EXPECT_EQ(cells[97].y, 6 * 10 + 1);
  EXPECT_EQ(cells[97].width, 4);
  EXPECT_EQ(cells[97].height, 5);
  EXPECT_EQ(cells[97].left, 1);
  EXPECT_EQ(cells[32].width, 4 - 1);
  EXPECT_EQ(cells[32].height, 5);
  EXPECT_EQ(cells[32].x, 0 * 8 + 1);
  EXPECT_EQ(cells[32].y, 2 * 10 + 1);
  EXPECT_EQ(cells[65].width, 1);
  // The maxima are taken before the adjustment.
  EXPECT_EQ(max_size[0], 5);
  EXPECT_EQ(max_size[1], 7);
}

TEST(MeasureGlyphGridTest, SpaceWithInkKeepsItsOwnSize) {
  CDib dib;
  MakeGrid(dib, {{97, 3, 4}, {32, 0, 1}});
  std::array<int32_t, 2> max_size{};
  std::vector<GlyphCell> cells(98);
  ASSERT_TRUE(MeasureGlyphGrid({dib, 0}, max_size, cells, 0, 97, 8, 16));
  EXPECT_EQ(cells[32].width, 1);
  EXPECT_EQ(cells[32].height, 2);
}

TEST(MeasureGlyphGridTest, RefusesWhatWouldLeaveTheArrayOrGrid) {
  CDib dib;
  MakeGrid(dib, {});
  std::array<int32_t, 2> max_size = {-1, -1};
  const struct {
    size_t records;
    int32_t first, last, rows, cols;
  } refused[] = {
      {97, 0, 10, 8, 16},    // fewer than 98 records
      {100, 0, 100, 8, 16},  // fewer than last - first + 1
      {128, 0, 127, 0, 16}, {128, 0, 127, 8, 0}, {128, 0, 128, 8, 16},  // beyond the grid
      {128, -1, 10, 8, 16},
  };
  for (const auto& r : refused) {
    std::vector<GlyphCell> cells(r.records, GlyphCell{9, 9, 9, 9, 9, 9});
    EXPECT_FALSE(MeasureGlyphGrid({dib, 0}, max_size, cells, r.first, r.last, r.rows, r.cols));
    EXPECT_EQ(cells[0].width, 9);
  }
  EXPECT_EQ(max_size[0], -1);
  CDib empty;
  std::vector<GlyphCell> cells(128);
  EXPECT_FALSE(MeasureGlyphGrid({empty, 0}, max_size, cells, 0, 127, 8, 16));
}

// A 24-bit one-row image from a pattern: "." is the key colour, "#" ink.
void MakeRow(CDib& dib, const std::string& pattern) {
  ASSERT_TRUE(dib.Create(24, static_cast<int32_t>(pattern.size()), 1));
  for (size_t x = 0; x < pattern.size(); ++x) {
    if (pattern[x] == '#') dib.SetPixel24(static_cast<int32_t>(x), 0, kInk);
  }
}

TEST(GetRowRunsTest, RunsAlternateStartingWithKey) {
  const struct {
    std::string row;
    int32_t start, length;
    std::vector<int32_t> runs;
  } cases[] = {
      {"..#.##", 0, -1, {2, 1, 1, 2}},
      {"#.", 0, -1, {0, 1, 1}},
      {"....", 0, -1, {4}},
      {"....", 1, 2, {2}},
      {"##..#.", 1, 4, {0, 1, 2, 1}},
      {"..#.##", 2, 0, {}},
  };
  for (const auto& c : cases) {
    CDib dib;
    MakeRow(dib, c.row);
    EXPECT_EQ(GetRowRuns({dib, 0}, 0, c.start, c.length), c.runs) << c.row << " from " << c.start;
  }
}

TEST(GetRowRunsTest, EmptyObjectGivesNoRuns) {
  CDib dib;
  EXPECT_TRUE(GetRowRuns({dib, 0}, 0, 0, -1).empty());
}

}  // namespace
}  // namespace quillon
