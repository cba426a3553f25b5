#include "container/bitmap_member.h"

#include "container/movie.h"
#include "util/checked_math.h"

namespace quillon {

using namespace bitmap_member;

bool SpecificBlockStart(const ByteReader& member, size_t& start) {
  uint32_t info_length = 0;
  if (!member.U32Be(kInfoLengthOffset, info_length)) return false;
  start = kInfoBlockOffset + size_t{info_length};
  return true;
}

bool ReadCastBitmapInfo(const ByteReader& member, CastBitmapInfo& info) {
  size_t block = 0;
  uint16_t top = 0, left = 0, bottom = 0, right = 0;
  uint8_t depth = 0;
  uint32_t specific_length = 0;
  if (!SpecificBlockStart(member, block) ||
      !member.U32Be(kSpecificLengthOffset, specific_length) ||
      !member.U16Be(block + kRectTop, top) || !member.U16Be(block + kRectLeft, left) ||
      !member.U16Be(block + kRectBottom, bottom) || !member.U16Be(block + kRectRight, right) ||
      !member.U8(block + kDepth, depth)) {
    return false;
  }
  info.specific_length = specific_length;
  info.width = static_cast<uint16_t>(right - left);
  info.height = static_cast<uint16_t>(bottom - top);
  info.depth = depth;
  return true;
}

bool ReadPaletteRef(const ByteReader& member, PaletteRef& ref) {
  size_t block = 0;
  uint16_t library = 0;
  uint16_t id = 0;
  if (!SpecificBlockStart(member, block) || !member.U16Be(block + kPaletteLibrary, library) ||
      !member.U16Be(block + kPaletteId, id)) {
    return false;
  }
  ref.cast_library = static_cast<int16_t>(library);
  ref.id = static_cast<int16_t>(id);
  return true;
}

bool MemberFields(const MovieView& movie, uint32_t member_entry, ByteReader& fields) {
  const uint8_t* head = movie.ChunkData(member_entry, kInfoBlockOffset);
  if (head == nullptr) return false;
  uint32_t info_length = 0;
  ByteReader(head, kInfoBlockOffset).U32Be(kInfoLengthOffset, info_length);
  for (const uint32_t fixed : {kPaletteBytes, kFixedBytes}) {
    size_t needed = 0;
    if (!CheckedAdd<size_t>(info_length, fixed, needed)) continue;
    const uint8_t* data = movie.ChunkData(member_entry, needed);
    if (data == nullptr) continue;
    fields = ByteReader(data, needed);
    return true;
  }
  return false;
}

}  // namespace quillon
