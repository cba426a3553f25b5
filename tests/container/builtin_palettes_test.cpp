#include "container/builtin_palettes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace quillon {
namespace {

struct CsvPalette {
  std::string name;
  std::vector<uint32_t> colors;
};

// The palettes of builtin_palettes.csv for one depth by stored id (0 for the 1-bit one, which
// has none); empty when the data is absent.
std::map<int32_t, CsvPalette> ReadCsvPalettes(const std::string& depth) {
  std::map<int32_t, CsvPalette> palettes;
  std::ifstream in(std::string(QUILLON_TESTDATA_DIR) + "/palettes/builtin_palettes.csv");
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream row(line);
    for (std::string field; std::getline(row, field, ',');) fields.push_back(field);
    if (fields.size() != 7 || fields[0] != depth) continue;
    CsvPalette& palette = palettes[fields[1].empty() ? 0 : std::stoi(fields[1])];
    palette.name = fields[2];
    EXPECT_EQ(std::stoul(fields[3]), palette.colors.size()) << line;
    palette.colors.push_back(static_cast<uint32_t>(std::stoul(fields[4]) << 16 |
                                                   std::stoul(fields[5]) << 8 |
                                                   std::stoul(fields[6])));
  }
  return palettes;
}

TEST(BuiltinPalettesTest, EveryPaletteOfEveryDepthEqualsTheReferenceData) {
  const struct {
    uint32_t depth;
    size_t palettes;
    size_t size;
  } depths[] = {{8, 9, 256}, {4, 9, 16}, {2, 2, 4}, {1, 1, 2}};
  for (const auto& d : depths) {
    const std::map<int32_t, CsvPalette> expected = ReadCsvPalettes(std::to_string(d.depth));
    if (expected.empty()) GTEST_SKIP() << "no ../shared/testdata";
    EXPECT_EQ(expected.size(), d.palettes) << d.depth;
    for (const auto& [id, palette] : expected) {
      const BuiltinPalette* builtin = FindBuiltinPalette(id, d.depth);
      ASSERT_NE(builtin, nullptr) << id;
      // The fixed 1- and 2-bit colours go by one name whatever the id.
      if (d.depth > 2) {
        EXPECT_EQ(builtin->name, palette.name);
      }
      ASSERT_EQ(palette.colors.size(), d.size) << id;
      EXPECT_EQ(std::vector<uint32_t>(builtin->colors, builtin->colors + builtin->size),
                palette.colors)
          << palette.name << " at " << d.depth << " bits";
    }
  }
}

TEST(BuiltinPalettesTest, IdsWithoutAnEightBitPaletteFindNone) {
  // -7 is VGA, a 4-bit palette only, and Metallic has no 16 colours; positive ids name palette
  // members.
  for (const int32_t id : {-7, -8, -99, -102, 1, 5}) {
    EXPECT_EQ(FindBuiltinPalette(id), nullptr) << id;
  }
  for (const int32_t id : {-6, -8, 1}) EXPECT_EQ(FindBuiltinPalette(id, 4), nullptr) << id;
  EXPECT_STREQ(FindBuiltinPalette(kSystemWinPaletteId)->name, "System - Win");
  EXPECT_EQ(FindBuiltinPalette(kSystemWinPaletteId)->colors[0], 0xFFFFFFu);
  EXPECT_EQ(FindBuiltinPalette(kSystemWinPaletteId)->colors[255], 0x000000u);
}

}  // namespace
}  // namespace quillon
