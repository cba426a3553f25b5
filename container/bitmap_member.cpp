#include "container/bitmap_member.h"

#include "container/movie.h"
#include "util/checked_math.h"

namespace quillon {

using namespace bitmap_member;

namespace {

constexpr uint32_t kLargestMemberType = 255;
constexpr int16_t kOwnCast = -1;

bool IsDirector4(const ByteReader& member) {
  uint32_t first = 0;
  return member.U32Be(0, first) && first > kLargestMemberType;
}

// Width and height from the rectangle at `at`.
bool ReadRect(const ByteReader& member, size_t at, CastBitmapInfo& info) {
  uint16_t top = 0, left = 0, bottom = 0, right = 0;
  if (!member.U16Be(at, top) || !member.U16Be(at + 2, left) || !member.U16Be(at + 4, bottom) ||
      !member.U16Be(at + 6, right)) {
    return false;
  }
  info.width = static_cast<uint16_t>(right - left);
  info.height = static_cast<uint16_t>(bottom - top);
  return true;
}

bool ReadPaletteAt(const ByteReader& member, size_t library_at, size_t id_at, PaletteRef& ref) {
  uint16_t library = static_cast<uint16_t>(kOwnCast);
  uint16_t id = 0;
  if ((library_at != 0 && !member.U16Be(library_at, library)) || !member.U16Be(id_at, id)) {
    return false;
  }
  ref.cast_library = static_cast<int16_t>(library);
  ref.id = static_cast<int16_t>(id);
  return true;
}

bool ReadDirector5(const ByteReader& member, CastBitmapInfo& info) {
  uint32_t info_length = 0;
  if (!member.U32Be(kInfoLengthOffset, info_length) ||
      !member.U32Be(kSpecificLengthOffset, info.specific_length)) {
    return false;
  }
  const size_t block = kInfoBlockOffset + size_t{info_length};
  if (!ReadRect(member, block + kRectTop, info)) return false;
  if (info.specific_length == kOneBitSpecificLength) {
    info.known_layout = true;
    info.depth = 1;
    return true;
  }
  // Members of another specific length are refused by it; their depth is read as it always was.
  if (!member.U8(block + kDepth, info.depth)) return false;
  info.known_layout = info.specific_length == kSpecificLength;
  info.has_palette = ReadPaletteAt(member, block + kPaletteLibrary, block + kPaletteId,
                                   info.palette);
  return true;
}

bool ReadDirector4(const ByteReader& member, CastBitmapInfo& info) {
  uint16_t specific_length = 0;
  uint16_t pitch = 0;
  info.layout = MemberLayout::kDirector4;
  if (!member.U16Be(0, specific_length) || !member.U16Be(kD4Pitch, pitch) ||
      !ReadRect(member, kD4RectTop, info)) {
    return false;
  }
  info.specific_length = specific_length;
  // The specific fields count from +6: the depth at +31 needs 26 of them, the rectangle 12.
  if ((pitch & kD4HasDepth) == 0) {
    info.known_layout = specific_length >= kD4RectTop + 8 - 6;
    info.depth = 1;
    return true;
  }
  if (!member.U8(kD4Depth, info.depth)) return false;
  info.known_layout = specific_length >= kD4Depth + 1 - 6;
  info.has_palette = specific_length >= kD4End - 6 &&
                     ReadPaletteAt(member, 0, kD4PaletteId, info.palette);
  return true;
}

// How many of the member's first bytes hold its fields, and its palette reference too.
struct FieldSpan {
  uint64_t fields;
  uint64_t with_palette;
};

FieldSpan SpanOf(const ByteReader& head) {
  uint16_t pitch = 0;
  if (IsDirector4(head) && head.U16Be(kD4Pitch, pitch)) {
    return (pitch & kD4HasDepth) != 0 ? FieldSpan{kD4Depth + 1, kD4End}
                                      : FieldSpan{kD4RectTop + 8, kD4RectTop + 8};
  }
  uint32_t info_length = 0;
  uint32_t specific_length = 0;
  head.U32Be(kInfoLengthOffset, info_length);
  head.U32Be(kSpecificLengthOffset, specific_length);
  const uint64_t block = kInfoBlockOffset + uint64_t{info_length};
  if (specific_length == kOneBitSpecificLength) {
    return {block + kRectRight + 2, block + kRectRight + 2};
  }
  return {block + kDepth + 1, block + kPaletteId + 2};
}

}  // namespace

bool ReadCastBitmapInfo(const ByteReader& member, CastBitmapInfo& info) {
  info = CastBitmapInfo();
  return IsDirector4(member) ? ReadDirector4(member, info) : ReadDirector5(member, info);
}

bool MemberFields(const MovieView& movie, uint32_t member_entry, ByteReader& fields) {
  const uint8_t* head = movie.ChunkData(member_entry, kInfoBlockOffset);
  if (head == nullptr) return false;
  const FieldSpan span = SpanOf(ByteReader(head, kInfoBlockOffset));
  for (const uint64_t needed : {span.with_palette, span.fields}) {
    if (needed > SIZE_MAX) continue;
    const uint8_t* data = movie.ChunkData(member_entry, static_cast<size_t>(needed));
    if (data == nullptr) continue;
    fields = ByteReader(data, static_cast<size_t>(needed));
    return true;
  }
  return false;
}

}  // namespace quillon
