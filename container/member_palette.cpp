#include "container/member_palette.h"

#include <algorithm>

#include "container/bitmap_member.h"
#include "container/builtin_palettes.h"
#include "container/cast_members.h"

namespace quillon {

namespace {

constexpr size_t kClutEntryBytes = 6;

MemberPalette Fallback(std::string note, uint32_t depth) {
  const BuiltinPalette& system_win = SystemWinPalette(depth);
  MemberPalette palette{{system_win.colors, system_win.colors + system_win.size},
                        system_win.name, std::move(note)};
  palette.note += "; System - Win used";
  return palette;
}

MemberPalette BuiltIn(int16_t id, uint32_t depth) {
  const BuiltinPalette* builtin = FindBuiltinPalette(id, depth);
  if (builtin == nullptr) return Fallback("no built-in palette " + std::to_string(id), depth);
  return {{builtin->colors, builtin->colors + builtin->size}, builtin->name, {}};
}

MemberPalette CastMember(const CastTables& tables, int16_t number, uint32_t depth) {
  const std::string name = "member " + std::to_string(number);
  // Member numbers count cast slots from 1, as cast numbers do.
  const uint32_t slot = static_cast<uint32_t>(number) - 1;
  uint32_t clut = 0;
  if (slot >= tables.SlotCount() || !tables.FindChild(tables.MemberEntry(slot), kTagPalette, clut)) {
    return Fallback("palette " + name + " not found", depth);
  }
  ByteReader data;
  if (!tables.ChildData(clut, data)) {
    return Fallback("palette " + name + " lies outside the file", depth);
  }
  MemberPalette palette{DecodeClut(data), name, {}};
  if (palette.colors.empty()) return Fallback("palette " + name + " is empty", depth);
  // A 4-bit member's indices reach its palette's first 16 entries alone.
  if (depth == 4 && palette.colors.size() > kSmallPaletteSize) {
    palette.colors.resize(kSmallPaletteSize);
  }
  return palette;
}

}  // namespace

MemberPalette ResolveMemberPalette(const CastTables& tables, const ByteReader& member) {
  CastBitmapInfo info;
  const uint32_t depth = ReadCastBitmapInfo(member, info) ? info.depth : 8;
  if (depth <= 2) return BuiltIn(0, depth);
  if (!info.has_palette) return Fallback("no palette field", depth);
  const PaletteRef& ref = info.palette;
  if (ref.id <= 0) return BuiltIn(ref.id, depth);
  if (ref.cast_library != -1) {
    return Fallback("palette member " + std::to_string(ref.id) + " of cast library " +
                        std::to_string(ref.cast_library),
                    depth);
  }
  return CastMember(tables, ref.id, depth);
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
