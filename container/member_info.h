#pragma once
// The info block of a member's own chunk (CASt), in either layout (Director 4: u16 specific
// length, u32 info length at +2, u8 type, u8 flags, the specific data, then the info; Director 5
// and later: u32 type, u32 info length at +4, u32 specific length, the info, then the specific
// data), big-endian: u32 header length H, header fields (+16 the script id, from 1, 0 for none),
// then at H a u16 item count n, n + 1 u32 offsets (the last the items' total length) counted
// from the end of that table, and the items. Item 0 is a script's source text (only in movies
// that are not protected), item 1 the member's name, 2 a linked file's folder and 3 its file
// name, these three as Pascal strings.
// Also the frame labels (VWLB): u16 count, count x (u16 frame, u16 offset), u32 length, names.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

inline constexpr char kTypeMember[] = "CASt";
inline constexpr char kTypeFrameLabels[] = "VWLB";
inline constexpr uint32_t kFieldMember = 3;
inline constexpr uint32_t kButtonMember = 7;

enum MemberInfoItem : size_t { kInfoName = 1, kInfoLinkedFolder = 2, kInfoLinkedFile = 3 };

struct MemberInfo {
  uint32_t type = 0;
  size_t info_length_at = 0;  // where the info length is stored
  size_t info_offset = 0;     // where the info block starts
  uint32_t script_id = 0;
  size_t offsets_at = 0;      // the first item offset, from the start of the member's data
  std::vector<ByteReader> items;

  // Item 1's Pascal string; empty without one.
  std::string Name() const { return PascalItem(kInfoName); }
  // The Pascal string of item `item`; empty without one.
  std::string PascalItem(size_t item) const;
  // Item 0; empty without one.
  ByteReader Source() const { return items.empty() ? ByteReader() : items[0]; }
};

// False when the info block or its item table does not lie within `member` (the type is read
// all the same when the head is).
bool ReadMemberInfo(const ByteReader& member, MemberInfo& info);

// The member's data with `source` as item 0: the later items' offsets, the total and the info
// length follow. False when the member has no item 0 or the result would not fit 32 bits.
bool RebuildMemberSource(const ByteReader& member, const MemberInfo& info,
                         const std::vector<uint8_t>& source, std::vector<uint8_t>& data);

// The Pascal string of item `item` of the member's info; false when the member has no such item
// or it does not lie within the data.
bool ReadMemberInfoString(const ByteReader& member, size_t item, std::string& text);

// The labels of a VWLB chunk's data; false when they do not lie within it.
bool ReadFrameLabels(const ByteReader& data, std::vector<std::string>& labels);

}  // namespace quillon
