#include "builders/true_color_import.h"

#include <unordered_map>

#include "container/cast_members.h"
#include "container/member_palette.h"
#include "image/dib.h"

namespace quillon {

namespace {

constexpr uint32_t kColorBits = 0xFFFFFFu;

}  // namespace

bool HoldsTrueColor(const CDib& image) {
  return image.HasImage() && (image.GetBitCount() == 24 || image.GetBitCount() == 32);
}

bool ToNearestIndices(const CDib& image, const std::vector<uint32_t>& palette, CDib& indexed) {
  if (palette.empty() || !image.HasImage()) return false;
  const int32_t width = image.GetWidth();
  const int32_t height = image.GetHeight();
  if (!indexed.Create(8, width, height)) return false;
  // Pictures hold far fewer colours than pixels; each is searched for once.
  std::unordered_map<uint32_t, uint8_t> nearest;
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t color = image.GetPixel(x, y) & kColorBits;
      auto found = nearest.find(color);
      if (found == nearest.end()) {
        found = nearest.emplace(color, static_cast<uint8_t>(FindNearestColor(color, palette))).first;
      }
      indexed.SetPixel8(x, y, found->second);
    }
  }
  return true;
}

bool IndexByMemberPalette(const BuildContext& context, const ByteReader& member,
                          const CDib& image, CDib& indexed) {
  static const CastTables kNoTables;
  const CastTables& tables = context.tables != nullptr ? *context.tables : kNoTables;
  return ToNearestIndices(image, ResolveMemberPalette(tables, member).colors, indexed);
}

}  // namespace quillon
