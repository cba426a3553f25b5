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

// The 8-bit palettes of builtin_palettes.csv by stored id; empty when the data is absent.
std::map<int32_t, CsvPalette> ReadCsvPalettes() {
  std::map<int32_t, CsvPalette> palettes;
  std::ifstream in(std::string(QUILLON_TESTDATA_DIR) + "/palettes/builtin_palettes.csv");
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream row(line);
    for (std::string field; std::getline(row, field, ',');) fields.push_back(field);
    if (fields.size() != 7 || fields[0] != "8") continue;
    CsvPalette& palette = palettes[std::stoi(fields[1])];
    palette.name = fields[2];
    EXPECT_EQ(std::stoul(fields[3]), palette.colors.size()) << line;
    palette.colors.push_back(static_cast<uint32_t>(std::stoul(fields[4]) << 16 |
                                                   std::stoul(fields[5]) << 8 |
                                                   std::stoul(fields[6])));
  }
  return palettes;
}

TEST(BuiltinPalettesTest, EveryEightBitPaletteEqualsTheReferenceData) {
  const std::map<int32_t, CsvPalette> expected = ReadCsvPalettes();
  if (expected.empty()) GTEST_SKIP() << "no ../shared/testdata";
  EXPECT_EQ(expected.size(), 9u);
  for (const auto& [id, palette] : expected) {
    const BuiltinPalette* builtin = FindBuiltinPalette(id);
    ASSERT_NE(builtin, nullptr) << id;
    EXPECT_EQ(builtin->name, palette.name);
    ASSERT_EQ(palette.colors.size(), kBuiltinPaletteSize) << id;
    EXPECT_EQ(std::vector<uint32_t>(builtin->colors, builtin->colors + kBuiltinPaletteSize),
              palette.colors)
        << palette.name;
  }
}

TEST(BuiltinPalettesTest, IdsWithoutAnEightBitPaletteFindNone) {
  // -7 is VGA, a 4-bit palette only; positive ids name palette members.
  for (const int32_t id : {-7, -8, -99, -102, 1, 5}) EXPECT_EQ(FindBuiltinPalette(id), nullptr) << id;
  EXPECT_STREQ(SystemWinPalette().name, "System - Win");
  EXPECT_EQ(SystemWinPalette().colors[0], 0xFFFFFFu);
  EXPECT_EQ(SystemWinPalette().colors[255], 0x000000u);
}

}  // namespace
}  // namespace quillon
