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
constexpr size_t kInfoLengthOffset = 4;
constexpr size_t kSpecificLengthOffset = 8;
constexpr size_t kInfoBlockOffset = 12;
// Within the specific block, which follows the info block.
constexpr size_t kRectTop = 2;
constexpr size_t kRectLeft = 4;
constexpr size_t kRectBottom = 6;
constexpr size_t kRectRight = 8;
constexpr size_t kDepth = 23;
constexpr char kGifSignature[] = "GIF89a";
constexpr size_t kGifSignatureLength = 6;

using Key = CastTables::Key;

// The entries that lie wholly inside the table and up to its key count, naming entries below
// usedCount.
std::vector<Key> ReadKeyTable(const ByteReader& table, uint32_t used_count) {
  std::vector<Key> keys;
  uint32_t count = 0;
  if (!table.U32Le(kKeyCountOffset, count)) return keys;
  const size_t room = table.size() < kKeyTableHeader
                          ? 0
                          : (table.size() - kKeyTableHeader) / kKeyEntrySize;
  const size_t readable = count < room ? count : room;
  keys.reserve(readable);
  for (size_t j = 0; j < readable; ++j) {
    const uint8_t* raw = table.data() + kKeyTableHeader + j * kKeyEntrySize;
    Key key{LoadU32Le(raw), LoadU32Le(raw + 4), {}};
    std::memcpy(key.tag, raw + 8, sizeof key.tag);
    if (key.child < used_count && key.owner < used_count) keys.push_back(key);
  }
  return keys;
}

bool TagIs(const Key& key, const char* stored_tag) {
  return std::memcmp(key.tag, stored_tag, sizeof key.tag) == 0;
}

bool HoldsGif89a(const MovieView& movie, uint32_t child) {
  const uint8_t* data = movie.ChunkData(child, kGifSignatureLength);
  return data != nullptr && std::memcmp(data, kGifSignature, kGifSignatureLength) == 0;
}

// The member's first L + 40 data bytes when they lie within the file, else its first L + 36
// when those do.
bool MemberFields(const MovieView& movie, uint32_t member_entry, ByteReader& fields) {
  const uint8_t* head = movie.ChunkData(member_entry, kInfoBlockOffset);
  if (head == nullptr) return false;
  uint32_t info_length = 0;
  ByteReader(head, kInfoBlockOffset).U32Be(kInfoLengthOffset, info_length);
  for (const uint32_t fixed : {kMemberPaletteBytes, kMemberFixedBytes}) {
    size_t needed = 0;
    if (!CheckedAdd<size_t>(info_length, fixed, needed)) continue;
    const uint8_t* data = movie.ChunkData(member_entry, needed);
    if (data == nullptr) continue;
    fields = ByteReader(data, needed);
    return true;
  }
  return false;
}

void Dispatch(const MovieView& movie, CastMediaHandler& handler, uint32_t cast_number,
              uint32_t member_entry, const Key& key) {
  if (TagIs(key, kTagMedia)) {
    if (HoldsGif89a(movie, key.child)) handler.SubstituteGif(cast_number, key.child);
    return;
  }
  const bool bitmap = TagIs(key, kTagBitmap);
  if (!bitmap && !TagIs(key, kTagAlpha)) return;
  ByteReader fields(nullptr, 0);
  if (!MemberFields(movie, member_entry, fields)) return;
  if (bitmap) {
    handler.BuildBitmapChunk(cast_number, member_entry, key.child, fields);
  } else {
    handler.BuildAlphaChunk(cast_number, member_entry, key.child, fields);
  }
}

}  // namespace

uint32_t ResolveSlot(uint32_t slot_word) {
  const uint32_t swapped = Swap32(slot_word);
  return slot_word < swapped ? slot_word : swapped;
}

bool ReadCastBitmapInfo(const ByteReader& member, CastBitmapInfo& info) {
  uint32_t info_length = 0;
  if (!member.U32Be(kInfoLengthOffset, info_length)) return false;
  const size_t specific = kInfoBlockOffset + size_t{info_length};
  uint16_t top = 0, left = 0, bottom = 0, right = 0;
  uint8_t depth = 0;
  uint32_t specific_length = 0;
  if (!member.U32Be(kSpecificLengthOffset, specific_length) ||
      !member.U16Be(specific + kRectTop, top) || !member.U16Be(specific + kRectLeft, left) ||
      !member.U16Be(specific + kRectBottom, bottom) ||
      !member.U16Be(specific + kRectRight, right) || !member.U8(specific + kDepth, depth)) {
    return false;
  }
  info.specific_length = specific_length;
  info.width = static_cast<uint16_t>(right - left);
  info.height = static_cast<uint16_t>(bottom - top);
  info.depth = depth;
  return true;
}

CastTables::CastTables(const MovieView& movie) : movie_(&movie) {
  uint32_t cast_length = 0;
  uint32_t key_length = 0;
  const uint8_t* cast_table = FindChunk(movie, kTagCastTable, cast_length);
  const uint8_t* key_table = FindChunk(movie, kTagKeyTable, key_length);
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
  const std::vector<Key> keys = ReadKeyTable(ByteReader(key_table, key_length), used_count);
  for (const Key& key : keys) ++first_[key.owner + 1];
  for (size_t owner = 1; owner < first_.size(); ++owner) first_[owner] += first_[owner - 1];
  std::vector<size_t> next(first_.begin(), first_.end() - 1);
  keys_.resize(keys.size());
  for (const Key& key : keys) keys_[next[key.owner]++] = key;
}

bool CastTables::FindChild(uint32_t owner, const char* stored_tag, uint32_t& child) const {
  if (owner + size_t{1} >= first_.size()) return false;
  for (const Key* key = KeysBegin(owner); key != KeysEnd(owner); ++key) {
    if (!TagIs(*key, stored_tag)) continue;
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

void CastPass(const MovieView& movie, CastMediaHandler& handler) {
  const CastTables tables(movie);
  if (!tables.present()) return;
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t slot = 0; slot < tables.SlotCount(); ++slot) {
    const uint32_t member_entry = tables.MemberEntry(slot);
    if (member_entry >= used_count) continue;
    for (const Key* key = tables.KeysBegin(member_entry); key != tables.KeysEnd(member_entry);
         ++key) {
      Dispatch(movie, handler, slot + 1, member_entry, *key);
    }
  }
}

}  // namespace quillon
