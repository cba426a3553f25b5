#pragma once
// Cast member resolution: the cast table (CAS*) lists members by the entry index of their own
// chunk, the key table (KEY*) says which chunks each member owns. The cast pass hands every
// owned chunk it can rebuild to a CastMediaHandler.

#include <cstdint>

#include "util/byte_reader.h"

namespace quillon {

class MovieView;

// A member entry index from a cast-table slot stored in either byte order: the smaller of the
// word and its byte swap.
uint32_t ResolveSlot(uint32_t slot_word);

// The fields of a bitmap member that the builders use. Width and height are the extent of the
// member's rectangle (right - left, bottom - top, modulo 65536).
struct CastBitmapInfo {
  uint32_t specific_length = 0;  // only 28 is a bitmap member the builders accept
  uint16_t width = 0;
  uint16_t height = 0;
  uint8_t depth = 0;  // bits per pixel
};

// The first 12 + info length + 24 bytes of a member's data hold everything CastBitmapInfo needs.
inline constexpr uint32_t kMemberFixedBytes = 36;

// Reads `member` (the member chunk's data); false when it is too short to hold the fields.
bool ReadCastBitmapInfo(const ByteReader& member, CastBitmapInfo& info);

// Where the cast pass sends what it finds. Builders implement it, so that the container layer
// never depends on them. `member` spans exactly the member data ReadCastBitmapInfo needs.
class CastMediaHandler {
 public:
  virtual ~CastMediaHandler() = default;
  // An XMED chunk whose data begins with "GIF89a".
  virtual void SubstituteGif(uint32_t cast_number, uint32_t child) = 0;
  virtual void BuildBitmapChunk(uint32_t cast_number, uint32_t member_entry, uint32_t child,
                                const ByteReader& member) = 0;
  virtual void BuildAlphaChunk(uint32_t cast_number, uint32_t member_entry, uint32_t child,
                               const ByteReader& member) = 0;
};

// Walks the cast slots in order and, for each, the key entries its member owns in table order,
// dispatching by the key entry's tag. Does nothing without both tables. Key entries that lie
// outside their table, name an entry at or above usedCount, or whose data the dispatch would
// read outside the file, are passed over.
void CastPass(const MovieView& movie, CastMediaHandler& handler);

}  // namespace quillon
