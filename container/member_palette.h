#pragma once
// The colours a bitmap member's indices refer to: at 8 and 4 bits a built-in palette (ids 0 and
// below; its 16-colour version at 4 bits) or the CLUT of a palette member of the movie's own
// cast (positive ids, the member number); at 1 and 2 bits the fixed colours of those depths.

#include <cstdint>
#include <string>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

class CastTables;

inline constexpr char kTypePalette[] = "CLUT";

struct MemberPalette {
  std::vector<uint32_t> colors;  // red << 16 | green << 8 | blue, index order, at most 256
  std::string name;              // "System - Win", or "member 5" for a palette member
  std::string note;              // why a palette stands in; empty when the reference held
};

// Follows the member's reference for its depth; anything that does not lead to a palette gives
// System - Win (of that depth; System - Mac in a Mac movie) with a note saying why.
MemberPalette ResolveMemberPalette(const CastTables& tables, const ByteReader& member);

// A CLUT chunk's colours: 6-byte entries of big-endian 16-bit red, green and blue whose high
// bytes are the 8-bit channels; at most 256 entries are taken.
std::vector<uint32_t> DecodeClut(const ByteReader& clut);

}  // namespace quillon
