#pragma once
// One chunk a cast member owns, as the cast pass hands it to the steps of its media kind.

#include <cstdint>

#include "util/byte_reader.h"

namespace quillon {

struct CastMedia {
  uint32_t cast_number = 0;   // the number in its file names and log lines
  uint32_t member_entry = 0;  // the member's own chunk
  uint32_t child = 0;         // the owned chunk: the one rebuilt or exported
  // The member's fields (MemberFields) for the kinds that read them; empty for the others.
  ByteReader member;
};

}  // namespace quillon
