#include "image/dib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "util/report.h"

namespace quillon {
namespace {

constexpr uint32_t Rgb(uint32_t red, uint32_t green, uint32_t blue) {
  return blue | green << 8 | red << 16;
}

// The buffer row that holds image row y.
const uint8_t* RowOf(const CDib& dib, int32_t y) {
  return dib.GetBits() +
         static_cast<size_t>(dib.GetHeight() - 1 - y) * static_cast<size_t>(dib.GetStride());
}

std::vector<uint8_t> BufferCopy(const CDib& dib) {
  const size_t size = dib.GetHeader()->biSizeImage;
  return std::vector<uint8_t>(dib.GetBits(), dib.GetBits() + size);
}

struct CreateCase {
  int bit_count;
  int32_t width, height;
  int32_t stride;
  uint32_t colors_used;
};

TEST(DibCreateTest, StridesHeadersAndTablesFollowTheBitCount) {
  const CreateCase cases[] = {
      {1, 7, 2, 4, 2},  {4, 9, 1, 8, 16}, {1, 33, 1, 8, 2}, {24, 3, 2, 12, 0}, {8, 5, 1, 8, 256},
      {32, 2, 2, 8, 0}, {16, 3, 1, 8, 0}, {2, 5, 1, 4, 0},  {15, 3, 3, 8, 0},  {8, 0, 0, 0, 256},
  };
  for (const CreateCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bit_count << " bits, " << c.width << " x " << c.height);
    CDib dib;
    ASSERT_TRUE(dib.Create(c.bit_count, c.width, c.height));
    const BitmapInfoHeader* header = dib.GetHeader();
    EXPECT_EQ(dib.GetStride(), c.stride);
    EXPECT_EQ(header->biSize, 40u);
    EXPECT_EQ(header->biPlanes, 1);
    EXPECT_EQ(dib.GetBitCount(), c.bit_count);
    EXPECT_EQ(dib.GetWidth(), c.width);
    EXPECT_EQ(dib.GetHeight(), c.height);
    EXPECT_EQ(header->biCompression, 0u);
    EXPECT_EQ(header->biSizeImage, static_cast<uint32_t>(c.stride * c.height));
    EXPECT_EQ(header->biClrUsed, c.colors_used);
    EXPECT_EQ(header->biClrImportant, c.colors_used);
    EXPECT_EQ(dib.GetPalette() != nullptr, c.colors_used != 0);
    const std::vector<uint8_t> bits = BufferCopy(dib);
    EXPECT_EQ(std::count(bits.begin(), bits.end(), 0), static_cast<long>(bits.size()));
  }
}

TEST(DibCreateTest, RefusesSizesNoHeaderCanDescribe) {
  CDib dib;
  EXPECT_FALSE(dib.Create(8, -1, 4));
  EXPECT_FALSE(dib.Create(8, 4, -1));
  EXPECT_FALSE(dib.Create(-8, 4, 4));
  EXPECT_FALSE(dib.Create(32, 0x7FFFFFFF, 1));  // the stride does not fit
  EXPECT_FALSE(dib.Create(32, 65536, 65536));   // the buffer size does not fit biSizeImage
  EXPECT_FALSE(dib.HasImage());
}

TEST(DibCreateTest, DefaultTablesHoldTheListedColours) {
  CDib one, four, eight;
  ASSERT_TRUE(one.Create(1, 1, 1));
  ASSERT_TRUE(four.Create(4, 1, 1));
  ASSERT_TRUE(eight.Create(8, 1, 1));
  EXPECT_EQ(one.GetColorTableEntry(0), Rgb(0, 0, 0));
  EXPECT_EQ(one.GetColorTableEntry(1), Rgb(255, 255, 255));
  EXPECT_EQ(four.GetColorTableEntry(1), Rgb(128, 0, 0));
  EXPECT_EQ(four.GetColorTableEntry(7), Rgb(192, 192, 192));
  EXPECT_EQ(four.GetColorTableEntry(8), Rgb(128, 128, 128));
  EXPECT_EQ(four.GetColorTableEntry(12), Rgb(0, 0, 255));

  const std::pair<uint32_t, uint32_t> expected8[] = {
      {7, Rgb(128, 128, 128)},   {8, Rgb(192, 220, 192)},   {9, Rgb(166, 202, 240)},
      {10, Rgb(42, 63, 170)},    {11, Rgb(42, 63, 255)},    {12, Rgb(42, 95, 0)},
      {35, Rgb(42, 255, 255)},   {36, Rgb(85, 0, 0)},       {71, Rgb(85, 255, 255)},
      {72, Rgb(127, 0, 0)},      {143, Rgb(170, 255, 255)}, {179, Rgb(212, 255, 255)},
      {180, Rgb(255, 0, 85)},    {181, Rgb(255, 0, 170)},   {182, Rgb(255, 31, 0)},
      {209, Rgb(255, 223, 255)}, {210, Rgb(255, 255, 85)},  {211, Rgb(255, 255, 170)},
      {212, Rgb(204, 204, 255)}, {214, Rgb(51, 255, 255)},  {217, Rgb(204, 255, 255)},
      {218, Rgb(0, 127, 0)},     {233, Rgb(0, 223, 255)},   {234, Rgb(0, 255, 85)},
      {235, Rgb(0, 255, 170)},   {236, Rgb(42, 0, 0)},      {243, Rgb(42, 31, 255)},
      {244, Rgb(42, 63, 0)},     {245, Rgb(42, 63, 85)},    {246, Rgb(255, 251, 240)},
      {247, Rgb(160, 160, 164)}, {248, Rgb(128, 128, 128)}, {249, Rgb(255, 0, 0)},
      {255, Rgb(255, 255, 255)},
  };
  for (const auto& [index, color] : expected8) {
    EXPECT_EQ(eight.GetColorTableEntry(index), color) << "entry " << index;
  }
  // The cube part walks blue fastest over four levels and never repeats a colour.
  std::set<uint32_t> cube;
  for (uint32_t i = 10; i < 246; ++i) {
    const uint32_t blue = eight.GetColorTableEntry(i) & 0xFF;
    if (i < 212 || i > 217) {
      EXPECT_TRUE(blue == 0 || blue == 85 || blue == 170 || blue == 255) << "entry " << i;
    }
    cube.insert(eight.GetColorTableEntry(i));
  }
  EXPECT_EQ(cube.size(), 236u);
  EXPECT_EQ(eight.GetColorTableEntry(256), 0u);  // beyond the table
}

TEST(DibCreateTest, PaletteObjectMirrorsTheTableAsRedGreenBlue) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 1, 1));
  const Palette* palette = dib.GetPalette();
  ASSERT_EQ(palette->entries().size(), 256u);
  const Palette::Entry& e = palette->entries()[9];  // (166, 202, 240)
  EXPECT_EQ(e.red, 166);
  EXPECT_EQ(e.green, 202);
  EXPECT_EQ(e.blue, 240);
  EXPECT_EQ(e.flags, 0);
}

TEST(DibCreateTest, CreatingAgainReplacesTheImageAndDestroyEmptiesIt) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 4, 4));
  dib.SetPixel8(0, 0, 9);
  ASSERT_TRUE(dib.Create(24, 2, 1));
  EXPECT_EQ(dib.GetBitCount(), 24);
  EXPECT_EQ(dib.GetPalette(), nullptr);
  EXPECT_EQ(dib.GetPixel24(0, 0), 0u);
  dib.Destroy();
  EXPECT_FALSE(dib.HasImage());
  EXPECT_EQ(dib.GetInfo(), nullptr);
  EXPECT_EQ(dib.GetHeader(), nullptr);
  EXPECT_EQ(dib.GetBits(), nullptr);
}

struct LayoutCase {
  int bit_count;
  uint32_t written;
  std::vector<uint8_t> bytes;  // the pixel's bytes afterwards
  uint32_t read;
};

TEST(DibPixelTest, WholeBytePixelsStoreTheirLowBytesLeastSignificantFirst) {
  const LayoutCase cases[] = {
      {32, 0x11223344, {0x44, 0x33, 0x22, 0x11}, 0x11223344},
      {24, 0x11223344, {0x44, 0x33, 0x22}, 0x223344},
      {16, 0x11223344, {0x44, 0x33}, 0x3344},
      {8, 0x11223344, {0x44}, 0x44},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.bit_count);
    // A width whose rows need no padding, so that the last pixel ends the buffer.
    const int32_t width = 4;
    CDib dib;
    ASSERT_TRUE(dib.Create(c.bit_count, width, 2));
    const size_t size = c.bytes.size();
    for (const auto& [x, y] : {std::pair{1, 0}, std::pair{width - 1, 1}}) {
      dib.SetPixel(x, y, c.written);
      EXPECT_EQ(dib.GetPixel(x, y), c.read);
      const uint8_t* p = RowOf(dib, y) + static_cast<size_t>(x) * size;
      EXPECT_EQ(std::vector<uint8_t>(p, p + size), c.bytes);
    }
    // Only the two pixels' bytes changed: a 24-bit pixel never touches its neighbour.
    const std::vector<uint8_t> bits = BufferCopy(dib);
    const auto changed = static_cast<size_t>(
        std::count_if(bits.begin(), bits.end(), [](uint8_t b) { return b != 0; }));
    EXPECT_EQ(changed, 2 * size);
    EXPECT_EQ(dib.GetPixel(0, 0), 0u);
    EXPECT_EQ(dib.GetPixel(2, 0), 0u);
  }
}

TEST(DibPixelTest, FourBitPixelsFillHighNibbleFirst) {
  CDib dib;
  ASSERT_TRUE(dib.Create(4, 3, 1));
  dib.SetPixel4(0, 0, 0xAB);
  EXPECT_EQ(RowOf(dib, 0)[0], 0xB0);
  dib.SetPixel4(1, 0, 0xC);
  EXPECT_EQ(RowOf(dib, 0)[0], 0xBC);
  EXPECT_EQ(dib.GetPixel4(0, 0), 0xBu);
  EXPECT_EQ(dib.GetPixel4(1, 0), 0xCu);
  dib.SetPixel4(0, 0, 0x1);
  EXPECT_EQ(RowOf(dib, 0)[0], 0x1C);
}

TEST(DibPixelTest, OneBitPixelsFillFromTheMostSignificantBit) {
  CDib dib;
  ASSERT_TRUE(dib.Create(1, 7, 2));
  dib.SetPixel1(0, 0, 1);
  EXPECT_EQ(dib.GetBits()[4], 0x80);  // the top row is the second buffer row
  EXPECT_EQ(dib.GetPixel1(0, 0), 1u);
  dib.SetPixel1(6, 0, 0xFF);
  EXPECT_EQ(dib.GetBits()[4], 0x82);
  dib.SetPixel1(0, 0, 0x100);  // only the low 8 bits count
  EXPECT_EQ(dib.GetBits()[4], 0x02);
  EXPECT_EQ(dib.GetPixel1(0, 0), 0u);
  EXPECT_EQ(dib.GetPixel1(6, 0), 1u);
}

TEST(DibPixelTest, DispatchersKeepOnlyTheBitsOfTheDepth) {
  CDib eight, sixteen, one;
  ASSERT_TRUE(eight.Create(8, 2, 2));
  ASSERT_TRUE(sixteen.Create(16, 2, 2));
  ASSERT_TRUE(one.Create(1, 2, 2));
  eight.SetPixel(1, 1, 0x1FF);
  EXPECT_EQ(eight.GetPixel(1, 1), 0xFFu);
  sixteen.SetPixel(0, 1, 0xABCDEF);
  EXPECT_EQ(sixteen.GetPixel(0, 1), 0xCDEFu);
  one.SetPixel(1, 0, 0x300);
  EXPECT_EQ(one.GetPixel(1, 0), 0u);
}

TEST(DibPixelTest, RunWritesCopyBytesIntoTheRow) {
  CDib dib;
  ASSERT_TRUE(dib.Create(24, 4, 2));
  const uint8_t src[] = {1, 2, 3, 4, 5, 6};
  dib.SetRow24(2, 3, 1, src);
  EXPECT_EQ(dib.GetPixel24(2, 1), 0x030201u);
  EXPECT_EQ(dib.GetPixel24(3, 1), 0x060504u);
  EXPECT_EQ(dib.GetPixel24(1, 1), 0u);

  CDib eight;
  ASSERT_TRUE(eight.Create(8, 4, 1));
  const uint8_t run[] = {7, 8, 9, 10};
  eight.SetRow8(0, 3, 0, run);
  EXPECT_EQ(std::vector<uint8_t>(RowOf(eight, 0), RowOf(eight, 0) + 4),
            std::vector<uint8_t>(run, run + 4));
}

TEST(DibPixelTest, RefusedAccessesReadZeroAndChangeNothing) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 3, 2));
  for (int32_t y = 0; y < 2; ++y) {
    for (int32_t x = 0; x < 3; ++x) dib.SetPixel8(x, y, 0x55);
  }
  const std::vector<uint8_t> before = BufferCopy(dib);
  const uint8_t src[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
  const std::pair<int32_t, int32_t> outside[] = {
      {-1, 0}, {3, 0}, {0, -1}, {0, 2}, {-2147483647 - 1, 0}};
  for (const auto& [x, y] : outside) {
    EXPECT_EQ(dib.GetPixel8(x, y), 0u);
    EXPECT_EQ(dib.GetPixel(x, y), 0u);
    dib.SetPixel8(x, y, 1);
    dib.SetPixel(x, y, 1);
  }
  // Another depth's operations are refused inside the image too.
  EXPECT_EQ(dib.GetPixel24(0, 0), 0u);
  EXPECT_EQ(dib.GetPixel4(0, 0), 0u);
  EXPECT_EQ(dib.GetPixel1(0, 0), 0u);
  dib.SetPixel32(0, 0, 1);
  dib.SetPixel16(0, 0, 1);
  dib.SetPixel4(0, 0, 1);
  dib.SetPixel1(0, 0, 1);
  dib.SetRow8(0, 3, 0, src);   // last beyond the width
  dib.SetRow8(-1, 1, 0, src);  // first before the row
  dib.SetRow8(0, 1, 2, src);   // no such row
  dib.SetRow16(0, 1, 0, src);  // another depth
  EXPECT_EQ(BufferCopy(dib), before);

  CDib empty;
  EXPECT_EQ(empty.GetPixel8(0, 0), 0u);
  EXPECT_EQ(empty.GetPixel(0, 0), 0u);
  empty.SetPixel(0, 0, 1);
  empty.SetRow8(0, 0, 0, src);
  EXPECT_FALSE(empty.HasImage());
}

TEST(DibPixelTest, TheAssertionWarningIsPrintedOncePerProcess) {
  // The flag is process-wide: a fresh process keeps other tests' accesses out of the count.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        SetAssertionHook([] { CheckAssertion(false); });
        CDib dib;
        dib.Create(8, 2, 2);
        testing::internal::CaptureStdout();
        dib.GetPixel(-1, 0);
        dib.GetPixel(2, 0);
        dib.SetPixel24(0, 0, 1);
        std::exit(testing::internal::GetCapturedStdout() == "Error in assertion!!!\n" ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
}

TEST(DibPaletteTest, ReplacesEntriesWithinTheTableOnly) {
  CDib dib;
  ASSERT_TRUE(dib.Create(8, 1, 1));
  const uint32_t values[7] = {0x11223344, 2, 3, 4, 5, 6, 7};
  ASSERT_TRUE(dib.SetPalette(250, 6, values, false));
  EXPECT_EQ(dib.GetColorTableEntry(250), 0x11223344u);
  EXPECT_EQ(dib.GetColorTableEntry(255), 6u);
  EXPECT_EQ(dib.GetPalette()->entries()[250].red, 0x22);
  EXPECT_EQ(dib.GetPalette()->entries()[250].blue, 0x44);

  const Palette* palette = dib.GetPalette();
  EXPECT_FALSE(dib.SetPalette(250, 7, values, false));
  EXPECT_FALSE(dib.SetPalette(-1, 2, values, false));
  EXPECT_FALSE(dib.SetPalette(0, 0, values, false));
  EXPECT_FALSE(dib.SetPalette(0, 1, nullptr, false));
  EXPECT_EQ(dib.GetPalette(), palette);  // a refused call keeps the palette object
  EXPECT_EQ(dib.GetColorTableEntry(249), Rgb(255, 0, 0));

  ASSERT_TRUE(dib.SetPalette(0, 1, values, true));
  EXPECT_EQ(dib.GetColorTableEntry(0), 0x11443322u);
}

TEST(DibPaletteTest, ImagesWithoutATableRefuseReplacement) {
  const uint32_t value = 1;
  for (int bit_count : {16, 24, 32}) {
    CDib dib;
    ASSERT_TRUE(dib.Create(bit_count, 2, 2));
    EXPECT_FALSE(dib.SetPalette(0, 1, &value, false)) << bit_count;
  }
  CDib empty;
  EXPECT_FALSE(empty.SetPalette(0, 1, &value, false));
}

TEST(DibPaletteTest, TriplesAreReadInEitherOrder) {
  CDib dib;
  ASSERT_TRUE(dib.Create(4, 1, 1));
  const uint8_t triples[] = {1, 2, 3, 4, 5, 6};
  ASSERT_TRUE(dib.SetPaletteRgb(0, 1, triples, true));
  EXPECT_EQ(dib.GetColorTableEntry(0), 0x00030201u);
  ASSERT_TRUE(dib.SetPaletteRgb(14, 2, triples, false));
  EXPECT_EQ(dib.GetColorTableEntry(14), 0x00010203u);
  EXPECT_EQ(dib.GetColorTableEntry(15), 0x00040506u);
  EXPECT_FALSE(dib.SetPaletteRgb(15, 2, triples, false));   // past the 16 entries
  EXPECT_FALSE(dib.SetPaletteRgb(255, 2, triples, false));  // past any table
  EXPECT_FALSE(dib.SetPaletteRgb(-1, 1, triples, false));
}

}  // namespace
}  // namespace quillon
