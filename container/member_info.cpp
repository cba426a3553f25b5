#include "container/member_info.h"

namespace quillon {

namespace {

constexpr uint32_t kLargestMemberType = 255;

// The info block, within the member's data and its own length.
bool FindInfoBlock(const ByteReader& member, ByteReader& info) {
  uint32_t head = 0;
  uint32_t length = 0;
  size_t start = 12;
  if (!member.U32Be(0, head)) return false;
  if (head > kLargestMemberType) {  // Director 4: the specific data comes first
    uint16_t specific = 0;
    if (!member.U16Be(0, specific) || !member.U32Be(2, length)) return false;
    start = size_t{6} + specific;
  } else if (!member.U32Be(4, length)) {
    return false;
  }
  if (!member.Has(start, length)) return false;
  info = ByteReader(member.data() + start, length);
  return true;
}

}  // namespace

bool ReadMemberInfoString(const ByteReader& member, uint16_t item, std::string& text) {
  ByteReader info;
  uint32_t header = 0;
  uint16_t count = 0;
  if (!FindInfoBlock(member, info) || !info.U32Be(0, header) || !info.U16Be(header, count) ||
      item >= count) {
    return false;
  }
  const uint64_t offsets = uint64_t{header} + 2;
  const uint64_t items = offsets + 4 * (uint64_t{count} + 1);
  uint32_t begin = 0;
  uint32_t end = 0;
  uint8_t length = 0;
  if (!info.U32Be(offsets + 4 * uint64_t{item}, begin) ||
      !info.U32Be(offsets + 4 * (uint64_t{item} + 1), end) || end <= begin ||
      !info.U8(items + begin, length) || length > end - begin - 1 ||
      !info.Has(items + begin + 1, length)) {
    return false;
  }
  const char* chars = reinterpret_cast<const char*>(info.data() + items + begin + 1);
  text.assign(chars, length);
  return true;
}

}  // namespace quillon
