#pragma once
// The info block of a member's own chunk (CASt), a list of items: u32 header length H, header
// fields, then at H a u16 count n, n + 1 u32 offsets of the items (from the end of the offsets;
// the last is their total length), and the items. It lies at +12 in Director 5 and later (its
// length at +4), after the specific data in Director 4 (at +6 + the u16 at +0, its length at
// +2). Items: 0 the script, 1 the member's name, 2 a linked file's folder, 3 its file name;
// names are Pascal strings.

#include <cstdint>
#include <string>

#include "util/byte_reader.h"

namespace quillon {

enum MemberInfoItem : uint16_t { kInfoName = 1, kInfoLinkedFolder = 2, kInfoLinkedFile = 3 };

// The Pascal string of item `item` of the member's info; false when the member has no such
// item or it does not lie within the data.
bool ReadMemberInfoString(const ByteReader& member, uint16_t item, std::string& text);

}  // namespace quillon
