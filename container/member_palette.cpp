#include "container/member_palette.h"

#include <algorithm>

#include "container/bitmap_member.h"
#include "container/builtin_palettes.h"
#include "container/cast_members.h"
#include "container/movie.h"

namespace quillon {

namespace {

constexpr size_t kClutEntryBytes = 6;

// A member's reference followed for its depth, with the palette that stands in where it leads
// nowhere: System - Mac in Mac movies, System - Win in Windows ones.
class PaletteLookup {
 public:
  PaletteLookup(const CastTables& tables, uint32_t depth)
      : tables_(tables),
        depth_(depth),
        stand_in_(tables.movie() != nullptr && tables.movie()->order() == ByteOrder::kBig
                      ? kSystemMacPaletteId
                      : kSystemWinPaletteId) {}

  MemberPalette Follow(const CastBitmapInfo& info) const {
    if (depth_ <= 2) return BuiltIn(0);
    if (!info.has_palette) return Fallback("no palette field");
    const PaletteRef& ref = info.palette;
    if (ref.id <= 0) return BuiltIn(ref.id);
    if (ref.cast_library != -1) {
      return Fallback("palette member " + std::to_string(ref.id) + " of cast library " +
                      std::to_string(ref.cast_library));
    }
    return CastMember(ref.id);
  }

 private:
  MemberPalette Fallback(std::string note) const {
    const BuiltinPalette& stand_in = *FindBuiltinPalette(stand_in_, depth_);
    MemberPalette palette{{stand_in.colors, stand_in.colors + stand_in.size}, stand_in.name,
                          std::move(note)};
    palette.note += std::string("; ") + stand_in.name + " used";
    return palette;
  }

  MemberPalette BuiltIn(int16_t id) const {
    const BuiltinPalette* builtin = FindBuiltinPalette(id, depth_);
    if (builtin == nullptr) return Fallback("no built-in palette " + std::to_string(id));
    return {{builtin->colors, builtin->colors + builtin->size}, builtin->name, {}};
  }

  MemberPalette CastMember(int16_t number) const {
    const std::string name = "member " + std::to_string(number);
    // Member numbers count cast slots from 1, as cast numbers do.
    const uint32_t slot = static_cast<uint32_t>(number) - 1;
    uint32_t clut = 0;
    if (slot >= tables_.SlotCount() ||
        !tables_.FindChild(tables_.MemberEntry(slot), kTypePalette, clut)) {
      return Fallback("palette " + name + " not found");
    }
    ByteReader data;
    if (!tables_.ChildData(clut, data)) {
      return Fallback("palette " + name + " lies outside the file");
    }
    MemberPalette palette{DecodeClut(data), name, {}};
    if (palette.colors.empty()) return Fallback("palette " + name + " is empty");
    // A 4-bit member's indices reach its palette's first 16 entries alone.
    if (depth_ == 4 && palette.colors.size() > kSmallPaletteSize) {
      palette.colors.resize(kSmallPaletteSize);
    }
    return palette;
  }

  const CastTables& tables_;
  uint32_t depth_;
  int32_t stand_in_;
};

}  // namespace

MemberPalette ResolveMemberPalette(const CastTables& tables, const ByteReader& member) {
  CastBitmapInfo info;
  const uint32_t depth = ReadCastBitmapInfo(member, info) ? info.depth : 8;
  return PaletteLookup(tables, depth).Follow(info);
}

std::vector<uint32_t> DecodeClut(const ByteReader& clut) {
  const size_t count = std::min(clut.size() / kClutEntryBytes, kBuiltinPaletteSize);
  std::vector<uint32_t> colors(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = clut.data() + i * kClutEntryBytes;
    colors[i] = uint32_t{entry[0]} << 16 | uint32_t{entry[2]} << 8 | entry[4];
  }
  return colors;
}

}  // namespace quillon
