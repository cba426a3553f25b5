#include "container/cast_members.h"

#include <cstring>
#include <vector>

#include "container/movie.h"
#include "util/byte_reader.h"

namespace quillon {

namespace {

constexpr size_t kKeyTableHeader = 12;
constexpr size_t kKeyCountOffset = 8;
constexpr size_t kKeyEntrySize = 12;
using Key = CastTables::Key;

// The entries that lie wholly inside the table and up to its key count, naming entries below
// usedCount; its fields are in the file's byte order.
std::vector<Key> ReadKeyTable(const ByteReader& table, uint32_t used_count, ByteOrder order) {
  std::vector<Key> keys;
  uint32_t count = 0;
  if (!table.U32(kKeyCountOffset, order, count)) return keys;
  const size_t room = table.size() < kKeyTableHeader
                          ? 0
                          : (table.size() - kKeyTableHeader) / kKeyEntrySize;
  const size_t readable = count < room ? count : room;
  keys.reserve(readable);
  for (size_t j = 0; j < readable; ++j) {
    const uint8_t* raw = table.data() + kKeyTableHeader + j * kKeyEntrySize;
    Key key{LoadU32(raw, order), LoadU32(raw + 4, order), {}};
    ReadTag(raw + 8, order, key.type);
    if (key.child < used_count && key.owner < used_count) keys.push_back(key);
  }
  return keys;
}

}  // namespace

bool KeyTypeIs(const CastTables::Key& key, const char* type) {
  return std::memcmp(key.type, type, sizeof key.type) == 0;
}

uint32_t ResolveSlot(uint32_t slot_word) {
  const uint32_t swapped = Swap32(slot_word);
  return slot_word < swapped ? slot_word : swapped;
}

CastTables::CastTables(const MovieView& movie) : movie_(&movie) {
  uint32_t cast_length = 0;
  uint32_t key_length = 0;
  const uint8_t* cast_table = FindChunk(movie, kTypeCastTable, cast_length);
  const uint8_t* key_table = FindChunk(movie, kTypeKeyTable, key_length);
  const uint32_t used_count = movie.UsedCount();
  first_.assign(size_t{used_count} + 1, 0);
  if (cast_table == nullptr || key_table == nullptr) return;
  present_ = true;

  slots_.resize(cast_length / 4);
  for (size_t slot = 0; slot < slots_.size(); ++slot) {
    slots_[slot] = ResolveSlot(LoadU32Le(cast_table + 4 * slot));
  }
  // Grouped by owner, each group in table order, so that a walk visits every key entry once
  // per slot that names its owner rather than once per slot.
  const std::vector<Key> keys =
      ReadKeyTable(ByteReader(key_table, key_length), used_count, movie.order());
  for (const Key& key : keys) ++first_[key.owner + 1];
  for (size_t owner = 1; owner < first_.size(); ++owner) first_[owner] += first_[owner - 1];
  std::vector<size_t> next(first_.begin(), first_.end() - 1);
  keys_.resize(keys.size());
  for (const Key& key : keys) keys_[next[key.owner]++] = key;
}

bool CastTables::FindChild(uint32_t owner, const char* type, uint32_t& child) const {
  if (!InMap(owner)) return false;
  for (const Key* key = KeysBegin(owner); key != KeysEnd(owner); ++key) {
    if (!KeyTypeIs(*key, type)) continue;
    child = key->child;
    return true;
  }
  return false;
}

bool CastTables::ChildData(uint32_t child, ByteReader& data) const {
  if (movie_ == nullptr || child >= movie_->UsedCount()) return false;
  const uint32_t length = movie_->Entry(child).length;
  const uint8_t* bytes = movie_->ChunkData(child, length);
  if (bytes == nullptr) return false;
  data = ByteReader(bytes, length);
  return true;
}

}  // namespace quillon
