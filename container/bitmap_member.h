#pragma once
// A bitmap member's own chunk data (CASt): big-endian u32 type, u32 info length L, u32 specific
// length S, the info block (L bytes), then the specific block. A bitmap member the tool rebuilds
// has a 28-byte specific block holding its rectangle, depth and palette reference.

#include <cstddef>
#include <cstdint>

#include "util/byte_reader.h"

namespace quillon {

class MovieView;

namespace bitmap_member {

// Offsets from the start of the member's data.
enum HeadField : size_t { kInfoLengthOffset = 4, kSpecificLengthOffset = 8, kInfoBlockOffset = 12 };
// Offsets within the specific block: the rectangle (s16 top, left, bottom, right), the depth,
// the palette's cast library and id.
enum SpecificField : size_t {
  kRectTop = 2, kRectLeft = 4, kRectBottom = 6, kRectRight = 8,
  kDepth = 23, kPaletteLibrary = 24, kPaletteId = 26,
};
inline constexpr uint32_t kSpecificLength = 28;
// Bytes from the member's start up to the depth (12 + L + 24 of them) and up to the end of the
// palette reference (12 + L + 28).
inline constexpr uint32_t kFixedBytes = 36;
inline constexpr uint32_t kPaletteBytes = 40;

}  // namespace bitmap_member

// An alpha channel is rebuilt and exported at 8 bits whatever its member's depth.
inline constexpr uint8_t kAlphaDepth = 8;

// The fields of a bitmap member that the builders use. Width and height are the extent of the
// member's rectangle (right - left, bottom - top, modulo 65536).
struct CastBitmapInfo {
  uint32_t specific_length = 0;  // only bitmap_member::kSpecificLength is a member to rebuild
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t depth = 0;  // bits per pixel
};

// The palette fields of the specific block.
struct PaletteRef {
  int16_t cast_library = 0;  // -1: the member's own cast
  int16_t id = 0;
};

// Where the specific block starts (12 + L); false when `member` does not hold L.
bool SpecificBlockStart(const ByteReader& member, size_t& start);

// Reads `member` (the member chunk's data); false when it is too short to hold the fields.
bool ReadCastBitmapInfo(const ByteReader& member, CastBitmapInfo& info);
// False when `member` does not reach the palette fields.
bool ReadPaletteRef(const ByteReader& member, PaletteRef& ref);

// The member's first L + 40 data bytes when they lie within the file (they hold the palette
// reference), else its first L + 36 when those do (the fields ReadCastBitmapInfo reads); false
// when not even those do.
bool MemberFields(const MovieView& movie, uint32_t member_entry, ByteReader& fields);

}  // namespace quillon
