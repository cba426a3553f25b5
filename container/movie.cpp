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

// The file's byte order, told by its first four bytes; false for neither kind of container.
bool OrderOf(const ByteReader& file, ByteOrder& order) {
  for (const ByteOrder candidate : {ByteOrder::kLittle, ByteOrder::kBig}) {
    uint8_t magic[4];
    StoreTag(kTypeContainer, candidate, magic);
    if (!file.Matches(0, magic, 4)) continue;
    order = candidate;
    return true;
  }
  return false;
}

bool TagIs(const ByteReader& file, size_t offset, const char* type, ByteOrder order) {
  uint8_t stored[4];
  StoreTag(type, order, stored);
  return file.Matches(offset, stored, 4);
}

bool PassesHeaderTests(const ByteReader& file) {
  ByteOrder order = ByteOrder::kLittle;
  uint16_t map_header_size = 0;
  uint16_t map_entry_size = 0;
  return OrderOf(file, order) && TagIs(file, kImapTagOffset, kTypeImap, order) &&
         TagIs(file, kMmapTagOffset, kTypeMmap, order) &&
         file.U16(kMapHeaderOffset, order, map_header_size) &&
         map_header_size == kExpectedMapHeaderSize &&
         file.U16(kMapHeaderOffset + 2, order, map_entry_size) &&
         map_entry_size == kExpectedMapEntrySize;
}

}  // namespace

void StoreTag(const char* type, ByteOrder order, uint8_t* stored) {
  for (size_t i = 0; i < 4; ++i) {
    stored[i] = static_cast<uint8_t>(type[order == ByteOrder::kBig ? i : 3 - i]);
  }
}

void ReadTag(const uint8_t* stored, ByteOrder order, char* type) {
  for (size_t i = 0; i < 4; ++i) {
    type[i] = static_cast<char>(stored[order == ByteOrder::kBig ? i : 3 - i]);
  }
}

bool CheckContainer(const uint8_t* view, size_t size) {
  if (uint64_t{size} > kMaxContainerLength) return false;
  const ByteReader file(view, size);
  if (!PassesHeaderTests(file)) return false;
  // From here on the header fields lie within the view; MovieView reads them in the file's
  // order. It only reads here; the cast spares MovieView a read-only twin.
  const MovieView movie(const_cast<uint8_t*>(view), size);
  if (size < kUsedCountOffset + 4) return false;
  const uint32_t entry_capacity = movie.EntryCapacity();
  const uint32_t used_count = movie.UsedCount();
  if (used_count > entry_capacity || HeaderRegionLengthFor(entry_capacity) > size) return false;
  // The whole map lies within the view now, so the entries may be read unchecked.
  for (uint32_t i = 0; i < used_count; ++i) {
    if (!movie.IsLive(i)) continue;
    const MapEntry entry = movie.Entry(i);
    if (!RangeWithin(uint64_t{entry.offset} + kChunkHeaderSize, entry.length, size)) return false;
  }
  return true;
}

std::string TypeName(const MapEntry& entry) { return std::string(entry.type, 4); }

std::string ReadableType(const MapEntry& entry) {
  const std::string type = TypeName(entry);
  return type.substr(0, type.find('\0'));
}

MovieView::MovieView(const FileMapping& mapping) : mapping_(mapping) {
  ByteOrder order = ByteOrder::kLittle;
  if (OrderOf(ByteReader(mapping.view, mapping.size), order)) order_ = order;
}

uint32_t MovieView::EntryCapacity() const {
  return LoadU32(data() + kEntryCapacityOffset, order_);
}

uint32_t MovieView::UsedCount() const { return LoadU32(data() + kUsedCountOffset, order_); }

size_t MovieView::HeaderRegionLength() const {
  return static_cast<size_t>(HeaderRegionLengthFor(EntryCapacity()));
}

MapEntry MovieView::Entry(uint32_t i) const {
  const uint8_t* at = EntryAt(i);
  MapEntry entry;
  ReadTag(at, order_, entry.type);
  entry.length = LoadU32(at + kEntryLengthField, order_);
  entry.offset = LoadU32(at + kEntryOffsetField, order_);
  entry.flags = LoadU32(at + kEntryFlagsField, order_);
  return entry;
}

bool MovieView::EntryTypeIs(uint32_t i, const char* type) const {
  uint8_t stored[4];
  StoreTag(type, order_, stored);
  return std::memcmp(EntryAt(i), stored, 4) == 0;
}

bool MovieView::IsLive(uint32_t i) const {
  // An entry inside the header region (the container's own, the imap) is written with that
  // region already; copying it again would duplicate the whole header or more.
  const MapEntry entry = Entry(i);
  return !EntryTypeIs(i, kTypeFree) && !EntryTypeIs(i, kTypeMmap) && entry.flags == 0 &&
         entry.offset >= HeaderRegionLength();
}

void MovieView::SetEntryOffset(uint32_t i, uint32_t offset) {
  StoreU32(EntryAt(i) + kEntryOffsetField, offset, order_);
}

void MovieView::SetEntryLength(uint32_t i, uint32_t length) {
  StoreU32(EntryAt(i) + kEntryLengthField, length, order_);
}

void MovieView::SetContainerLength(uint32_t length) {
  StoreU32(data() + kContainerLengthOffset, length, order_);
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

const uint8_t* FindChunk(const MovieView& movie, const char* type, uint32_t& length) {
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count; ++i) {
    if (!movie.EntryTypeIs(i, type)) continue;
    const uint32_t found_length = movie.Entry(i).length;
    const uint8_t* data = movie.ChunkData(i, found_length);
    if (data != nullptr) length = found_length;
    return data;
  }
  return nullptr;
}

}  // namespace quillon
