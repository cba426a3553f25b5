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

struct KeyEntry {
  uint32_t child;
  uint32_t owner;
  char tag[4];
};

// Key entries grouped by owner, each group in table order, so that the pass visits every key
// entry once per slot that names its owner rather than once per slot.
class KeysByOwner {
 public:
  KeysByOwner(const std::vector<KeyEntry>& keys, uint32_t used_count)
      : first_(size_t{used_count} + 1, 0), keys_(keys.size()) {
    for (const KeyEntry& key : keys) ++first_[key.owner + 1];
    for (size_t owner = 1; owner < first_.size(); ++owner) first_[owner] += first_[owner - 1];
    std::vector<size_t> next(first_.begin(), first_.end() - 1);
    for (const KeyEntry& key : keys) keys_[next[key.owner]++] = key;
  }

  const KeyEntry* begin(uint32_t owner) const { return keys_.data() + first_[owner]; }
  const KeyEntry* end(uint32_t owner) const { return keys_.data() + first_[owner + 1]; }

 private:
  std::vector<size_t> first_;  // first_[o] .. first_[o + 1]: the keys owned by o
  std::vector<KeyEntry> keys_;
};

// The entries that lie wholly inside the table and up to its key count, naming entries below
// usedCount.
std::vector<KeyEntry> ReadKeyTable(const ByteReader& table, uint32_t used_count) {
  std::vector<KeyEntry> keys;
  uint32_t count = 0;
  if (!table.U32Le(kKeyCountOffset, count)) return keys;
  const size_t room = table.size() < kKeyTableHeader
                          ? 0
                          : (table.size() - kKeyTableHeader) / kKeyEntrySize;
  const size_t readable = count < room ? count : room;
  keys.reserve(readable);
  for (size_t j = 0; j < readable; ++j) {
    const uint8_t* raw = table.data() + kKeyTableHeader + j * kKeyEntrySize;
    KeyEntry key{LoadU32Le(raw), LoadU32Le(raw + 4), {}};
    std::memcpy(key.tag, raw + 8, sizeof key.tag);
    if (key.child < used_count && key.owner < used_count) keys.push_back(key);
  }
  return keys;
}

bool TagIs(const KeyEntry& key, const char* stored_tag) {
  return std::memcmp(key.tag, stored_tag, sizeof key.tag) == 0;
}

bool HoldsGif89a(const MovieView& movie, uint32_t child) {
  const uint8_t* data = movie.ChunkData(child, kGifSignatureLength);
  return data != nullptr && std::memcmp(data, kGifSignature, kGifSignatureLength) == 0;
}

// The member's first L + 36 data bytes, when they lie within the file.
bool MemberFields(const MovieView& movie, uint32_t member_entry, ByteReader& fields) {
  const uint8_t* head = movie.ChunkData(member_entry, kInfoBlockOffset);
  if (head == nullptr) return false;
  uint32_t info_length = 0;
  ByteReader(head, kInfoBlockOffset).U32Be(kInfoLengthOffset, info_length);
  size_t needed = 0;
  if (!CheckedAdd<size_t>(info_length, kMemberFixedBytes, needed)) return false;
  const uint8_t* data = movie.ChunkData(member_entry, needed);
  if (data == nullptr) return false;
  fields = ByteReader(data, needed);
  return true;
}

void Dispatch(const MovieView& movie, CastMediaHandler& handler, uint32_t cast_number,
              uint32_t member_entry, const KeyEntry& key) {
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

void CastPass(const MovieView& movie, CastMediaHandler& handler) {
  uint32_t cast_length = 0;
  uint32_t key_length = 0;
  const uint8_t* cast_table = FindChunk(movie, kTagCastTable, cast_length);
  const uint8_t* key_table = FindChunk(movie, kTagKeyTable, key_length);
  if (cast_table == nullptr || key_table == nullptr) return;

  const uint32_t used_count = movie.UsedCount();
  const KeysByOwner keys(ReadKeyTable(ByteReader(key_table, key_length), used_count),
                         used_count);
  const uint32_t slot_count = cast_length / 4;
  for (uint32_t slot = 0; slot < slot_count; ++slot) {
    const uint32_t member_entry = ResolveSlot(LoadU32Le(cast_table + 4 * size_t{slot}));
    if (member_entry >= used_count) continue;
    for (const KeyEntry* key = keys.begin(member_entry); key != keys.end(member_entry); ++key) {
      Dispatch(movie, handler, slot + 1, member_entry, *key);
    }
  }
}

}  // namespace quillon
