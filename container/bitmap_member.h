#pragma once
// A bitmap member's own chunk data (CASt), big-endian, in the two layouts Director writes:
// - Director 5 and later: u32 type, u32 info length L, u32 specific length S, the info block
//   (L bytes), then the specific block: S = 28 with the rectangle, depth and palette reference,
//   or S = 22 for a 1-bit bitmap (no depth, no palette).
// - Director 4: u16 specific length (counted from +6), u32 info length, u8 type, u8 flags, then
//   the specific fields (pitch, rectangle, ..., depth at +31 and palette id at +32 when the
//   pitch's top bit says they follow, else a 1-bit bitmap), then the info block. Its first
//   big-endian u32 is above 255, which no Director 5 member type is.

#include <cstddef>
#include <cstdint>

#include "util/byte_reader.h"

namespace quillon {

class MovieView;

namespace bitmap_member {

// Director 5 and later: offsets from the start of the member's data.
enum HeadField : size_t { kInfoLengthOffset = 4, kSpecificLengthOffset = 8, kInfoBlockOffset = 12 };
// Offsets within its specific block: the rectangle (s16 top, left, bottom, right), the depth,
// the palette's cast library and id.
enum SpecificField : size_t {
  kRectTop = 2, kRectLeft = 4, kRectBottom = 6, kRectRight = 8,
  kDepth = 23, kPaletteLibrary = 24, kPaletteId = 26,
};
inline constexpr uint32_t kSpecificLength = 28;
inline constexpr uint32_t kOneBitSpecificLength = 22;

// Director 4: offsets from the start of the member's data.
enum D4Field : size_t {
  kD4Pitch = 8, kD4RectTop = 10, kD4Depth = 31, kD4PaletteId = 32, kD4End = 34,
};
// The pitch's top bit: the depth and palette fields follow.
inline constexpr uint16_t kD4HasDepth = 0x8000;

}  // namespace bitmap_member

// An alpha channel is rebuilt and exported at 8 bits whatever its member's depth.
inline constexpr uint8_t kAlphaDepth = 8;

enum class MemberLayout { kDirector5, kDirector4 };

// The palette fields of the specific block.
struct PaletteRef {
  int16_t cast_library = 0;  // -1: the member's own cast (always so in Director 4)
  int16_t id = 0;
};

// The fields of a bitmap member that the builders use. Width and height are the extent of the
// member's rectangle (right - left, bottom - top, modulo 65536).
struct CastBitmapInfo {
  MemberLayout layout = MemberLayout::kDirector5;
  uint32_t specific_length = 0;  // S, or a Director 4 member's u16
  bool known_layout = false;     // a layout the builders read; if not, only S is meaningful
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t depth = 0;  // bits per pixel
  bool has_palette = false;
  PaletteRef palette;
};

// Reads `member` (the member chunk's data); false when it is too short to hold the fields its
// layout has.
bool ReadCastBitmapInfo(const ByteReader& member, CastBitmapInfo& info);

// The member's first bytes that hold its fields and, when the file holds them, its palette
// reference after them; false when not even the fields lie within the file.
bool MemberFields(const MovieView& movie, uint32_t member_entry, ByteReader& fields);

}  // namespace quillon
