#pragma once
// Cast member resolution: the cast table (CAS*) lists members by the entry index of their own
// chunk, the key table (KEY*) says which chunks each member owns. The cast pass walks them: every
// chunk a member owns, member by member.

#include <cstdint>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

class MovieView;

// A member entry index from a cast-table slot stored in either byte order: the smaller of the
// word and its byte swap.
uint32_t ResolveSlot(uint32_t slot_word);

// The cast table's slots and the key table's entries grouped by owner, read once per run, over
// the movie they come from. Key entries that lie outside their table or name an entry at or
// above usedCount are left out. A default-made object stands for a movie without the tables.
class CastTables {
 public:
  struct Key {
    uint32_t child;
    uint32_t owner;
    char type[4];  // the child's type, in reading order
  };

  CastTables() = default;
  explicit CastTables(const MovieView& movie);

  // False without both tables.
  bool present() const { return present_; }
  // The movie the tables were read from; null for a default-made object.
  const MovieView* movie() const { return movie_; }
  uint32_t SlotCount() const { return static_cast<uint32_t>(slots_.size()); }
  // The member entry index of a slot, resolved; it may lie at or above usedCount.
  uint32_t MemberEntry(uint32_t slot) const { return slots_[slot]; }
  // True for entry indices below usedCount.
  bool InMap(uint32_t entry) const { return entry + size_t{1} < first_.size(); }
  // The key entries owned by `owner` (below usedCount), in table order.
  const Key* KeysBegin(uint32_t owner) const { return keys_.data() + first_[owner]; }
  const Key* KeysEnd(uint32_t owner) const { return keys_.data() + first_[owner + 1]; }
  // The first child owned by `owner` whose key names the type `type`.
  bool FindChild(uint32_t owner, const char* type, uint32_t& child) const;
  // The whole data of a child found here, when it lies within the file.
  bool ChildData(uint32_t child, ByteReader& data) const;

 private:
  const MovieView* movie_ = nullptr;
  bool present_ = false;
  std::vector<uint32_t> slots_;
  std::vector<size_t> first_;  // first_[o] .. first_[o + 1]: the keys owned by o
  std::vector<Key> keys_;
};

// True when the key entry names the type `type`.
bool KeyTypeIs(const CastTables::Key& key, const char* type);

// One chunk a cast member owns, as the cast pass meets it.
struct OwnedChunk {
  uint32_t cast_number;  // the slot + 1
  uint32_t member_entry;
  const CastTables::Key& key;
};

// The cast pass's walk: the cast slots in order and, for each, the key entries its member owns
// in table order; slots whose member lies at or above usedCount are passed over. Nothing without
// both tables.
template <typename Visit>
void ForEachOwnedChunk(const CastTables& tables, Visit&& visit) {
  if (!tables.present()) return;
  for (uint32_t slot = 0; slot < tables.SlotCount(); ++slot) {
    const uint32_t member_entry = tables.MemberEntry(slot);
    if (!tables.InMap(member_entry)) continue;
    for (const CastTables::Key* key = tables.KeysBegin(member_entry);
         key != tables.KeysEnd(member_entry); ++key) {
      visit(OwnedChunk{slot + 1, member_entry, *key});
    }
  }
}

}  // namespace quillon
