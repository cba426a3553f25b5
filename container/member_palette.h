#pragma once
// The palette an 8-bit bitmap member's indices refer to: a built-in palette (ids 0 and below)
// or the CLUT of a palette member of the movie's own cast (positive ids, the member number).

#include <cstdint>
#include <string>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

class CastTables;

inline constexpr char kTagPalette[] = "TULC";  // CLUT, stored

struct MemberPalette {
  std::vector<uint32_t> colors;  // red << 16 | green << 8 | blue, index order, at most 256
  std::string name;              // "System - Win", or "member 5" for a palette member
  std::string note;              // why System - Win stands in; empty when the reference held
};

// Follows the member's reference; anything that does not lead to a palette gives System - Win
// with a note saying why.
MemberPalette ResolveMemberPalette(const CastTables& tables, const ByteReader& member);

// A CLUT chunk's colours: 6-byte entries of big-endian 16-bit red, green and blue whose high
// bytes are the 8-bit channels; at most 256 entries are taken.
std::vector<uint32_t> DecodeClut(const ByteReader& clut);

}  // namespace quillon
