#include "container/member_palette.h"

#include <algorithm>

#include "container/bitmap_member.h"
#include "container/builtin_palettes.h"
#include "container/cast_members.h"

namespace quillon {

namespace {

constexpr int16_t kOwnCast = -1;
constexpr size_t kClutEntryBytes = 6;

MemberPalette Fallback(std::string note) {
  const BuiltinPalette& system_win = SystemWinPalette();
  MemberPalette palette{{system_win.colors, system_win.colors + kBuiltinPaletteSize},
                        system_win.name, std::move(note)};
  palette.note += "; System - Win used";
  return palette;
}

MemberPalette BuiltIn(int16_t id) {
  const BuiltinPalette* builtin = FindBuiltinPalette(id);
  if (builtin == nullptr) return Fallback("no built-in palette " + std::to_string(id));
  return {{builtin->colors, builtin->colors + kBuiltinPaletteSize}, builtin->name, {}};
}

MemberPalette CastMember(const CastTables& tables, int16_t number) {
  const std::string name = "member " + std::to_string(number);
  // Member numbers count cast slots from 1, as cast numbers do.
  const uint32_t slot = static_cast<uint32_t>(number) - 1;
  uint32_t clut = 0;
  if (slot >= tables.SlotCount() || !tables.FindChild(tables.MemberEntry(slot), kTagPalette, clut)) {
    return Fallback("palette " + name + " not found");
  }
  ByteReader data(nullptr, 0);
  if (!tables.ChildData(clut, data)) return Fallback("palette " + name + " lies outside the file");
  MemberPalette palette{DecodeClut(data), name, {}};
  if (palette.colors.empty()) return Fallback("palette " + name + " is empty");
  return palette;
}

}  // namespace

MemberPalette ResolveMemberPalette(const CastTables& tables, const ByteReader& member) {
  PaletteRef ref;
  if (!ReadPaletteRef(member, ref)) return Fallback("no palette field");
  if (ref.id <= 0) return BuiltIn(ref.id);
  if (ref.cast_library != kOwnCast) {
    return Fallback("palette member " + std::to_string(ref.id) + " of cast library " +
                    std::to_string(ref.cast_library));
  }
  return CastMember(tables, ref.id);
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
