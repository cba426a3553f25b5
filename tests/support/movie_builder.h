#pragma once
// Synthetic movies (little-endian RIFX, "XFIR") of any layout, for tests, fuzz seeds, benchmarks
// and the example.
//
//   MovieBuilder movie(8);                       // 8 entry slots; entries 0 to 2 made as in real
//                                                // movies: container, imap (flags 1), mmap
//   uint32_t text = movie.AddChunk("TXTS", {1, 2, 3});   // chunk appended + live entry 3
//   uint32_t at = movie.AppendChunk("DTIB", pixels);     // chunk with no entry yet
//   movie.Append(Bytes(5, 0xEE));                          // a gap nobody points at
//   movie.AddEntry("DTIB", pixels.size(), at);             // entries in any order, shared, ...
//   movie.AddFreeEntry();
//   Bytes file = movie.Build();
//
// Tags are given as stored on disk (byte-reversed: "DTIB" for BITD). Everything is appended in
// call order, so any layout can be made: chunks out of entry order, gaps, odd lengths, two
// entries sharing a chunk, entries pointing anywhere. Slots from usedCount (the number of entries
// added) to the capacity are filled with SpareSlotFill(). Build() sets the container length and
// entry 0's length to the file length - 8. Fields the builder does not offer (say, a usedCount
// above the capacity) are patched in the built bytes at the offsets below.
//
// Cast media: CastTable, KeyTable and BitmapMember make the data of the "*SAC", "*YEK" and
// bitmap member chunks, to be added with AddChunk.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quillon::test {

using Bytes = std::vector<uint8_t>;

inline constexpr size_t kFormTypeOffset = 8;
inline constexpr size_t kEntryCapacityOffset = 56;
inline constexpr size_t kUsedCountOffset = 60;

// File offset of a field of entry i: 0 tag, 4 length, 8 offset, 12 flags, 16 tail.
inline size_t EntryFieldOffset(uint32_t i, size_t field) { return 76 + 20 * size_t{i} + field; }

struct CastSlot {
  uint32_t member;          // the member's entry index
  bool big_endian = true;   // real movies store slots big-endian
};

struct Key {
  uint32_t child;
  uint32_t owner;
  std::string stored_tag;  // the child's tag as stored: "DTIB", "AFLA", "DEMX"
};

struct BitmapMemberFields {
  uint16_t top = 0;
  uint16_t left = 0;
  uint16_t bottom = 0;  // height = bottom - top
  uint16_t right = 0;   // width = right - left
  uint8_t depth = 8;
  int16_t palette_library = 0;  // -1: the member's own cast
  int16_t palette_id = 0;       // 0 and below: built-in palettes; above: a palette member
  uint32_t info_length = 0;       // L: info bytes (filled with 0x11) before the specific block
  uint32_t specific_length = 28;  // S as stored; the block itself is always 28 bytes
};

class MovieBuilder {
 public:
  // `entry_capacity` slots (at least 3 with the standard entries).
  explicit MovieBuilder(uint32_t entry_capacity, bool standard_entries = true);

  // Appends a chunk (stored tag, data length, data) and a live entry pointing at it; returns
  // the entry index.
  uint32_t AddChunk(const std::string& stored_tag, const Bytes& data, uint32_t flags = 0);
  // Appends a chunk with no entry; returns the file offset of its header.
  uint32_t AppendChunk(const std::string& stored_tag, const Bytes& data);
  // Appends raw bytes; returns their file offset.
  uint32_t Append(const Bytes& bytes);
  // An entry with explicit fields; returns its index.
  uint32_t AddEntry(const std::string& stored_tag, uint32_t length, uint32_t offset,
                    uint32_t flags = 0, uint32_t tail = 0);
  // A free entry as real movies have them ("eerf", length 0, offset 0, flags 12).
  uint32_t AddFreeEntry();

  void SetFormType(const std::string& stored_form_type) { form_type_ = stored_form_type; }
  void SetSpareSlotFill(uint8_t byte) { spare_fill_ = byte; }

  uint32_t HeaderRegionLength() const { return 76 + 20 * capacity_; }
  uint32_t UsedCount() const { return static_cast<uint32_t>(entries_.size()); }
  uint32_t EntryOffset(uint32_t index) const { return entries_.at(index).offset; }
  // Length of the file Build() makes.
  uint32_t Length() const { return HeaderRegionLength() + static_cast<uint32_t>(body_.size()); }

  Bytes Build() const;

  // Cast table data: one 32-bit slot word per member, in the byte order the slot asks for.
  static Bytes CastTable(const std::vector<CastSlot>& slots);
  // Key table data: the 8 header bytes, the key count (the number of keys unless given), then
  // {child, owner, tag} per key, little-endian.
  static Bytes KeyTable(const std::vector<Key>& keys, std::optional<uint32_t> count = {});
  // A bitmap member's own chunk data, with big-endian fields.
  static Bytes BitmapMember(const BitmapMemberFields& fields);

 private:
  struct Entry {
    std::string tag;
    uint32_t length;
    uint32_t offset;
    uint32_t flags;
    uint32_t tail;
  };

  uint32_t capacity_;
  std::string form_type_ = "39VM";
  uint8_t spare_fill_ = 0;
  std::vector<Entry> entries_;
  Bytes body_;  // everything after the header region
};

}  // namespace quillon::test
