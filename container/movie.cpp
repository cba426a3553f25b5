#include "container/movie.h"

#include <cstring>

#include "util/byte_reader.h"

namespace quillon {

namespace {

// Offsets in the header region: the container length, the imap and mmap tags, the memory map's
// header (its header and entry sizes, then the entry capacity and the used count).
enum HeaderField : size_t {
  kContainerLengthOffset = 4, kImapTagOffset = 12, kMmapTagOffset = 44,
  kMapHeaderOffset = 52, kEntryCapacityOffset = 56, kUsedCountOffset = 60,
};
// Offsets within a memory-map entry, after its tag.
enum EntryField : size_t { kEntryLengthField = 4, kEntryOffsetField = 8, kEntryFlagsField = 12 };
constexpr uint16_t kExpectedMapHeaderSize = 24;
constexpr uint16_t kExpectedMapEntrySize = 20;

uint64_t HeaderRegionLengthFor(uint32_t entry_capacity) {
  return kHeaderFixedLength + uint64_t{kMapEntrySize} * entry_capacity;
}

bool PassesHeaderTests(const ByteReader& file) {
  uint16_t map_header_size = 0;
  uint16_t map_entry_size = 0;
  return file.Matches(0, kTagContainer, 4) && file.Matches(kImapTagOffset, kTagImap, 4) &&
         file.Matches(kMmapTagOffset, kTagMmap, 4) &&
         file.U16Le(kMapHeaderOffset, map_header_size) &&
         map_header_size == kExpectedMapHeaderSize &&
         file.U16Le(kMapHeaderOffset + 2, map_entry_size) &&
         map_entry_size == kExpectedMapEntrySize;
}

}  // namespace

bool CheckContainer(const uint8_t* view, size_t size) {
  if (uint64_t{size} > kMaxContainerLength) return false;
  const ByteReader file(view, size);
  if (!PassesHeaderTests(file)) return false;
  uint32_t entry_capacity = 0;
  uint32_t used_count = 0;
  if (!file.U32Le(kEntryCapacityOffset, entry_capacity) ||
      !file.U32Le(kUsedCountOffset, used_count)) {
    return false;
  }
  if (used_count > entry_capacity || HeaderRegionLengthFor(entry_capacity) > size) return false;
  // From here on the whole map lies within the view, so MovieView may read it unchecked. It
  // only reads here; the cast spares MovieView a read-only twin.
  const MovieView movie(const_cast<uint8_t*>(view), size);
  for (uint32_t i = 0; i < used_count; ++i) {
    if (!movie.IsLive(i)) continue;
    const MapEntry entry = movie.Entry(i);
    if (!RangeWithin(uint64_t{entry.offset} + kChunkHeaderSize, entry.length, size)) return false;
  }
  return true;
}

std::string TypeName(const MapEntry& entry) {
  return std::string{entry.tag[3], entry.tag[2], entry.tag[1], entry.tag[0]};
}

std::string ReadableType(const MapEntry& entry) {
  const std::string type = TypeName(entry);
  return type.substr(0, type.find('\0'));
}

uint32_t MovieView::EntryCapacity() const { return LoadU32Le(data() + kEntryCapacityOffset); }

uint32_t MovieView::UsedCount() const { return LoadU32Le(data() + kUsedCountOffset); }

size_t MovieView::HeaderRegionLength() const {
  return static_cast<size_t>(HeaderRegionLengthFor(EntryCapacity()));
}

MapEntry MovieView::Entry(uint32_t i) const {
  const uint8_t* at = EntryAt(i);
  MapEntry entry;
  std::memcpy(entry.tag, at, 4);
  entry.length = LoadU32Le(at + kEntryLengthField);
  entry.offset = LoadU32Le(at + kEntryOffsetField);
  entry.flags = LoadU32Le(at + kEntryFlagsField);
  return entry;
}

bool MovieView::EntryTagIs(uint32_t i, const char* stored_tag) const {
  return std::memcmp(EntryAt(i), stored_tag, 4) == 0;
}

bool MovieView::IsLive(uint32_t i) const {
  // An entry inside the header region (the container's own, the imap) is written with that
  // region already; copying it again would duplicate the whole header or more.
  const MapEntry entry = Entry(i);
  return !EntryTagIs(i, kTagFree) && !EntryTagIs(i, kTagMmap) && entry.flags == 0 &&
         entry.offset >= HeaderRegionLength();
}

void MovieView::SetEntryOffset(uint32_t i, uint32_t offset) {
  StoreU32Le(EntryAt(i) + kEntryOffsetField, offset);
}

void MovieView::SetEntryLength(uint32_t i, uint32_t length) {
  StoreU32Le(EntryAt(i) + kEntryLengthField, length);
}

void MovieView::SetContainerLength(uint32_t length) {
  StoreU32Le(data() + kContainerLengthOffset, length);
}

const uint8_t* MovieView::ChunkData(uint32_t i, size_t length) const {
  const uint64_t data_offset = uint64_t{Entry(i).offset} + kChunkHeaderSize;
  if (!RangeWithin(data_offset, length, mapping_.size)) return nullptr;
  return data() + data_offset;
}

const uint8_t* MovieView::EntryAt(uint32_t i) const {
  return data() + kHeaderFixedLength + size_t{kMapEntrySize} * i;
}

uint8_t* MovieView::EntryAt(uint32_t i) {
  return data() + kHeaderFixedLength + size_t{kMapEntrySize} * i;
}

const uint8_t* FindChunk(const MovieView& movie, const char* stored_tag, uint32_t& length) {
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count; ++i) {
    if (!movie.EntryTagIs(i, stored_tag)) continue;
    const uint32_t found_length = movie.Entry(i).length;
    const uint8_t* data = movie.ChunkData(i, found_length);
    if (data != nullptr) length = found_length;
    return data;
  }
  return nullptr;
}

}  // namespace quillon
