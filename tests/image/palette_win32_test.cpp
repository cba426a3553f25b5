// The GDI palette a CDib makes from its colour table.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "image/dib.h"

namespace quillon {
namespace {

HPALETTE NativeOf(const CDib& dib) {
  const Palette* palette = dib.GetPalette();
  return palette != nullptr ? static_cast<HPALETTE>(palette->native_handle()) : nullptr;
}

std::vector<PALETTEENTRY> GdiEntries(HPALETTE palette) {
  const UINT count = GetPaletteEntries(palette, 0, 0, nullptr);
  std::vector<PALETTEENTRY> entries(count);
  if (count != 0) GetPaletteEntries(palette, 0, count, entries.data());
  return entries;
}

TEST(GdiPaletteTest, HoldsEveryTableEntryAsRedGreenBlue) {
  const struct {
    int bit_count;
    size_t count;
    UINT index;
    PALETTEENTRY expected;
  } cases[] = {
      {1, 2, 1, {255, 255, 255, 0}},
      {4, 16, 12, {0, 0, 255, 0}},
      {8, 256, 9, {166, 202, 240, 0}},
  };
  for (const auto& c : cases) {
    CDib dib;
    ASSERT_TRUE(dib.Create(c.bit_count, 2, 2));
    HPALETTE palette = NativeOf(dib);
    ASSERT_NE(palette, nullptr) << c.bit_count;
    EXPECT_EQ(GetObjectType(palette), static_cast<DWORD>(OBJ_PAL));
    const std::vector<PALETTEENTRY> entries = GdiEntries(palette);
    ASSERT_EQ(entries.size(), c.count) << c.bit_count;
    const PALETTEENTRY& e = entries[c.index];
    EXPECT_EQ(e.peRed, c.expected.peRed) << c.bit_count;
    EXPECT_EQ(e.peGreen, c.expected.peGreen) << c.bit_count;
    EXPECT_EQ(e.peBlue, c.expected.peBlue) << c.bit_count;
    EXPECT_EQ(e.peFlags, 0) << c.bit_count;
  }
  for (int bit_count : {16, 24, 32}) {
    CDib dib;
    ASSERT_TRUE(dib.Create(bit_count, 2, 2));
    EXPECT_EQ(dib.GetPalette(), nullptr) << bit_count;
  }
}

TEST(GdiPaletteTest, SetPaletteRebuildsItAndARefusedCallKeepsIt) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 1, 1));
  const uint32_t value = 0x11223344u;  // red 0x22, green 0x33, blue 0x44
  ASSERT_TRUE(dib.SetPalette(250, 1, &value, false));
  HPALETTE palette = NativeOf(dib);
  ASSERT_NE(palette, nullptr);
  const std::vector<PALETTEENTRY> entries = GdiEntries(palette);
  ASSERT_EQ(entries.size(), 256u);
  EXPECT_EQ(entries[250].peRed, 0x22);
  EXPECT_EQ(entries[250].peGreen, 0x33);
  EXPECT_EQ(entries[250].peBlue, 0x44);

  EXPECT_FALSE(dib.SetPalette(250, 7, &value, false));
  EXPECT_EQ(NativeOf(dib), palette);
  EXPECT_EQ(GetObjectType(palette), static_cast<DWORD>(OBJ_PAL));
}

TEST(GdiPaletteTest, DestroyAndCreatingAgainDeleteIt) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 1, 1));
  HPALETTE first = NativeOf(dib);
  ASSERT_TRUE(dib.Create(24, 1, 1));
  EXPECT_EQ(GetObjectType(first), 0u);
  ASSERT_TRUE(dib.Create(4, 1, 1));
  HPALETTE second = NativeOf(dib);
  ASSERT_NE(second, nullptr);
  dib.Destroy();
  EXPECT_EQ(GetObjectType(second), 0u);
  EXPECT_EQ(dib.GetPalette(), nullptr);
}

}  // namespace
}  // namespace quillon
