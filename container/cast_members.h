#pragma once
// Cast member resolution: the cast table (CAS*) lists members by the entry index of their own
// chunk, the key table (KEY*) says which chunks each member owns. The cast pass hands every
// owned chunk it can rebuild to a CastMediaHandler.

#include <cstdint>
#include <vector>

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

// The first 12 + info length + 24 bytes of a member's data hold everything CastBitmapInfo needs;
// the palette reference takes the last four bytes of the 28-byte specific block.
inline constexpr uint32_t kMemberFixedBytes = 36;
inline constexpr uint32_t kMemberPaletteBytes = 40;

// Reads `member` (the member chunk's data); false when it is too short to hold the fields.
bool ReadCastBitmapInfo(const ByteReader& member, CastBitmapInfo& info);

// Where the cast pass sends what it finds. Builders implement it, so that the container layer
// never depends on them. `member` spans the member data ReadCastBitmapInfo needs, and the
// palette reference behind it when the file holds that.
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

// The cast table's slots and the key table's entries grouped by owner, read once, over the
// movie they come from. Key entries that lie outside their table or name an entry at or above
// usedCount are left out. A default-made object stands for a movie without the tables.
class CastTables {
 public:
  struct Key {
    uint32_t child;
    uint32_t owner;
    char tag[4];  // the child's stored tag
  };

  CastTables() = default;
  explicit CastTables(const MovieView& movie);

  // False without both tables.
  bool present() const { return present_; }
  uint32_t SlotCount() const { return static_cast<uint32_t>(slots_.size()); }
  // The member entry index of a slot, resolved; it may lie at or above usedCount.
  uint32_t MemberEntry(uint32_t slot) const { return slots_[slot]; }
  // The key entries owned by `owner` (below usedCount), in table order.
  const Key* KeysBegin(uint32_t owner) const { return keys_.data() + first_[owner]; }
  const Key* KeysEnd(uint32_t owner) const { return keys_.data() + first_[owner + 1]; }
  // The first child owned by `owner` whose key tag is `stored_tag`.
  bool FindChild(uint32_t owner, const char* stored_tag, uint32_t& child) const;
  // The whole data of a child found here, when it lies within the file.
  bool ChildData(uint32_t child, ByteReader& data) const;

 private:
  const MovieView* movie_ = nullptr;
  bool present_ = false;
  std::vector<uint32_t> slots_;
  std::vector<size_t> first_;  // first_[o] .. first_[o + 1]: the keys owned by o
  std::vector<Key> keys_;
};

// Walks the cast slots in order and, for each, the key entries its member owns in table order,
// dispatching by the key entry's tag. Does nothing without both tables. Key entries that lie
// outside their table, name an entry at or above usedCount, or whose data the dispatch would
// read outside the file, are passed over. The member data handed over spans the palette
// reference too when the file holds it.
void CastPass(const MovieView& movie, CastMediaHandler& handler);

}  // namespace quillon
