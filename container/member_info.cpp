#include "container/member_info.h"

#include "util/checked_math.h"

namespace quillon {

namespace {

constexpr uint32_t kLargestMemberType = 255;
constexpr size_t kScriptIdOffset = 16;
constexpr size_t kTableCountSize = 2;
constexpr size_t kOffsetSize = 4;

// Where the info block lies, by layout; false when the head does not lie within `member`.
bool LocateInfo(const ByteReader& member, MemberInfo& info, uint32_t& info_length) {
  uint32_t first = 0;
  if (!member.U32Be(0, first)) return false;
  if (first > kLargestMemberType) {
    uint16_t specific = 0;
    uint8_t type = 0;
    member.U16Be(0, specific);
    if (!member.U32Be(2, info_length) || !member.U8(6, type)) return false;
    info.type = type;
    info.info_length_at = 2;
    info.info_offset = 6 + size_t{specific};
  } else {
    info.type = first;
    info.info_length_at = 4;
    info.info_offset = 12;
    if (!member.U32Be(4, info_length)) return false;
  }
  return member.Has(info.info_offset, info_length);
}

}  // namespace

namespace {

bool PascalString(const ByteReader& item, std::string& text) {
  uint8_t length = 0;
  if (!item.U8(0, length) || !item.Has(1, length)) return false;
  text.assign(reinterpret_cast<const char*>(item.data()) + 1, length);
  return true;
}

}  // namespace

std::string MemberInfo::PascalItem(size_t item) const {
  std::string text;
  if (item < items.size()) PascalString(items[item], text);
  return text;
}

bool ReadMemberInfoString(const ByteReader& member, size_t item, std::string& text) {
  MemberInfo info;
  return ReadMemberInfo(member, info) && item < info.items.size() &&
         PascalString(info.items[item], text);
}

bool ReadMemberInfo(const ByteReader& member, MemberInfo& info) {
  info = MemberInfo();
  uint32_t info_length = 0;
  if (!LocateInfo(member, info, info_length)) return false;
  const ByteReader block(member.data() + info.info_offset, info_length);
  uint32_t header_length = 0;
  uint16_t count = 0;
  if (!block.U32Be(0, header_length) || !block.U16Be(header_length, count)) return false;
  block.U32Be(kScriptIdOffset, info.script_id);
  const size_t table = size_t{header_length} + kTableCountSize;
  const size_t items = table + kOffsetSize * (size_t{count} + 1);
  if (!block.Has(table, kOffsetSize * (size_t{count} + 1))) return false;
  info.offsets_at = info.info_offset + table;
  uint32_t previous = 0;
  for (uint16_t i = 0; i <= count; ++i) {
    uint32_t offset = 0;
    block.U32Be(table + kOffsetSize * i, offset);
    if (offset < previous || !block.Has(items, offset)) return false;
    if (i > 0) info.items.emplace_back(block.data() + items + previous, offset - previous);
    previous = offset;
  }
  return true;
}

bool RebuildMemberSource(const ByteReader& member, const MemberInfo& info,
                         const std::vector<uint8_t>& source, std::vector<uint8_t>& data) {
  if (info.items.empty()) return false;
  const ByteReader old = info.items[0];
  const size_t before = static_cast<size_t>(old.data() - member.data());
  const int64_t shift = static_cast<int64_t>(source.size()) - static_cast<int64_t>(old.size());
  data.assign(member.data(), member.data() + before);
  data.insert(data.end(), source.begin(), source.end());
  data.insert(data.end(), old.data() + old.size(), member.data() + member.size());
  if (data.size() > UINT32_MAX - 8) return false;
  const auto add = [&](size_t at) {
    StoreU32Be(data.data() + at, static_cast<uint32_t>(LoadU32Be(data.data() + at) + shift));
  };
  for (size_t i = 1; i <= info.items.size(); ++i) add(info.offsets_at + kOffsetSize * i);
  add(info.info_length_at);
  return true;
}

bool ReadFrameLabels(const ByteReader& data, std::vector<std::string>& labels) {
  uint16_t count = 0;
  if (!data.U16Be(0, count)) return false;
  const size_t names_length_at = 2 + 4 * size_t{count};
  uint32_t names_length = 0;
  if (!data.U32Be(names_length_at, names_length) ||
      !data.Has(names_length_at + 4, names_length)) {
    return false;
  }
  const ByteReader names(data.data() + names_length_at + 4, names_length);
  labels.clear();
  for (uint16_t i = 0; i < count; ++i) {
    uint16_t start = 0;
    uint16_t end = static_cast<uint16_t>(names_length);
    data.U16Be(2 + 4 * size_t{i} + 2, start);
    if (i + 1 < count) data.U16Be(4 * (size_t{i} + 1) + 4, end);
    if (start > end || !names.Has(start, end - start)) return false;
    labels.emplace_back(reinterpret_cast<const char*>(names.data()) + start, end - start);
  }
  return true;
}

}  // namespace quillon
