#include "builders/color_import.h"

#include <bitset>
#include <unordered_map>

#include "container/cast_members.h"
#include "container/member_palette.h"
#include "image/bitmap_header.h"
#include "image/dib.h"

namespace quillon {

namespace {

constexpr uint32_t kColorBits = 0xFFFFFFu;

bool IsIndexed(const CDib& image) {
  const int bits = image.GetBitCount();
  return bits == 1 || bits == 4 || bits == 8;
}

// Where red, green and blue lie in a 16-bit pixel: 5-5-5 unless bit fields say otherwise.
struct Masks16 {
  uint32_t red = 0x7C00;
  uint32_t green = 0x03E0;
  uint32_t blue = 0x001F;
};

constexpr size_t kMasksEnd = kInfoHeaderSize + 12;

Masks16 ReadMasks16(const CDib& image) {
  Masks16 masks;
  if (image.GetHeader()->biCompression != kBmpBitFields || image.GetInfoSize() < kMasksEnd) {
    return masks;
  }
  const ByteReader block(image.GetInfo(), image.GetInfoSize());
  block.U32Le(kInfoHeaderSize, masks.red);
  block.U32Le(kInfoHeaderSize + 4, masks.green);
  block.U32Le(kInfoHeaderSize + 8, masks.blue);
  return masks;
}

// The channel under `mask` widened to 8 bits, rounded to the nearest.
uint32_t Widen(uint32_t pixel, uint32_t mask) {
  if (mask == 0) return 0;
  uint32_t shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  const uint32_t top = mask >> shift;
  return (((pixel & mask) >> shift) * 255 + top / 2) / top;
}

// The pixel's colour: its colour-table entry in an indexed picture, its channels widened in a
// 16-bit one.
uint32_t ColorAt(const CDib& image, const Masks16& masks, int32_t x, int32_t y) {
  const uint32_t value = image.GetPixel(x, y);
  if (IsIndexed(image)) return image.GetColorTableEntry(value) & kColorBits;
  if (image.GetBitCount() != 16) return value & kColorBits;
  return Widen(value, masks.red) << 16 | Widen(value, masks.green) << 8 | Widen(value, masks.blue);
}

// The indices an indexed picture uses.
std::bitset<256> UsedIndices(const CDib& image) {
  std::bitset<256> used;
  for (int32_t y = 0; y < image.GetHeight(); ++y) {
    for (int32_t x = 0; x < image.GetWidth(); ++x) used.set(image.GetPixel(x, y) & 0xFFu);
  }
  return used;
}

}  // namespace

bool HoldsTrueColor(const CDib& image) {
  return image.HasImage() && (image.GetBitCount() == 24 || image.GetBitCount() == 32);
}

bool HoldsPackedColor(const CDib& image) {
  return image.HasImage() && image.GetBitCount() == 16;
}

bool IndicesAgree(const CDib& image, const std::vector<uint32_t>& colors) {
  const std::bitset<256> used = UsedIndices(image);
  const uint32_t table_size = image.GetHeader()->biClrUsed != 0
                                  ? image.GetHeader()->biClrUsed
                                  : 1u << image.GetBitCount();
  for (uint32_t index = 0; index < used.size(); ++index) {
    if (!used[index] || index >= table_size) continue;
    if (index >= colors.size() ||
        (image.GetColorTableEntry(index) & kColorBits) != (colors[index] & kColorBits)) {
      return false;
    }
  }
  return true;
}

bool ToNearestIndices(const CDib& image, const std::vector<uint32_t>& colors, CDib& indexed) {
  if (colors.empty() || !image.HasImage()) return false;
  const int32_t width = image.GetWidth();
  const int32_t height = image.GetHeight();
  if (!indexed.Create(8, width, height)) return false;
  const Masks16 masks = ReadMasks16(image);
  // Pictures hold far fewer colours than pixels; each is searched for once.
  std::unordered_map<uint32_t, uint8_t> nearest;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t color = ColorAt(image, masks, x, y);
      auto found = nearest.find(color);
      if (found == nearest.end()) {
        found = nearest.emplace(color, static_cast<uint8_t>(FindNearestColor(color, colors))).first;
      }
      indexed.SetPixel8(x, y, found->second);
    }
  }
  return true;
}

ColorMatch IndexByMemberColors(const BuildContext& context, const ByteReader& member,
                               const CDib& image, CDib& indexed) {
  const bool true_color = HoldsTrueColor(image);
  if (!true_color && !IsIndexed(image) && !HoldsPackedColor(image)) {
    return ColorMatch::kAsTheyStand;
  }
  static const CastTables kNoTables;
  const CastTables& tables = context.tables != nullptr ? *context.tables : kNoTables;
  const std::vector<uint32_t> colors = ResolveMemberPalette(tables, member).colors;
  if (IsIndexed(image) && IndicesAgree(image, colors)) return ColorMatch::kAsTheyStand;
  // The palette is never empty (unresolved references fall back to a built-in one), so only a
  // failed allocation stops the indexing.
  if (!ToNearestIndices(image, colors, indexed)) return ColorMatch::kOutOfMemory;
  return true_color ? ColorMatch::kNearest : ColorMatch::kMapped;
}

}  // namespace quillon
