#include "container/movie.h"

#include <cstdio>
#include <cstring>

#include "util/byte_reader.h"

namespace quillon {

namespace {

// Offsets in the file's first bytes: the container length, the form type, the imap chunk's tag
// and its pointer to the current map.
enum HeaderField : size_t {
  kContainerLengthOffset = 4, kFormTypeOffset = 8, kImapTagOffset = 12, kImapMapOffset = 24,
};
// Offsets within the map chunk: its header's header and entry sizes, the entry capacity, the
// used count, and the first entry.
enum MapField : size_t {
  kMapHeaderSizeField = 8, kMapEntrySizeField = 10, kEntryCapacityField = 12,
  kUsedCountField = 16, kFirstEntryField = 32,
};
// Offsets within a memory-map entry, after its tag.
enum EntryField : size_t { kEntryLengthField = 4, kEntryOffsetField = 8, kEntryFlagsField = 12 };
constexpr uint16_t kExpectedMapHeaderSize = 24;
constexpr uint16_t kExpectedMapEntrySize = 20;
// Shockwave's compressed forms, which hold no memory map.
constexpr const char* kCompressedFormTypes[] = {"FGDM", "FGDC"};
// The forms of a movie and of an external cast.
constexpr const char* kMovieFormTypes[] = {"MV93", "MC95"};

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

bool IsCompressed(const ByteReader& file, ByteOrder order) {
  for (const char* form : kCompressedFormTypes) {
    if (TagIs(file, kFormTypeOffset, form, order)) return true;
  }
  return false;
}

// The container header up to the imap's map pointer.
ContainerStatus CheckHeader(const ByteReader& file, ByteOrder order) {
  if (!file.Has(0, kImapTagOffset)) return ContainerStatus::kTruncated;
  if (IsCompressed(file, order)) return ContainerStatus::kCompressed;
  if (!file.Has(0, kImapTagOffset + 4)) return ContainerStatus::kTruncated;
  if (!TagIs(file, kImapTagOffset, kTypeImap, order)) return ContainerStatus::kNotAContainer;
  if (!file.Has(0, kImapMapOffset + 4)) return ContainerStatus::kTruncated;
  return ContainerStatus::kOk;
}

// The current map chunk: where the imap points when a map stands there, else at 44. An imap
// pointing beyond the file is damage, not a reason to fall back on what may be a stale map.
ContainerStatus LocateMap(const ByteReader& file, ByteOrder order, uint32_t& map_offset) {
  uint32_t pointed = 0;
  file.U32(kImapMapOffset, order, pointed);
  if (TagIs(file, pointed, kTypeMmap, order)) {
    map_offset = pointed;
    return ContainerStatus::kOk;
  }
  if (!file.Has(0, kCompactedMapOffset + 4)) return ContainerStatus::kTruncated;
  if (!file.Has(pointed, 4)) return ContainerStatus::kMapOutsideFile;
  if (!TagIs(file, kCompactedMapOffset, kTypeMmap, order)) return ContainerStatus::kNotAContainer;
  map_offset = kCompactedMapOffset;
  return ContainerStatus::kOk;
}

// The map's header and its slots, all within the file.
ContainerStatus CheckMap(const ByteReader& file, ByteOrder order, size_t map_offset) {
  uint16_t header_size = 0;
  uint16_t entry_size = 0;
  uint32_t capacity = 0;
  uint32_t used_count = 0;
  if (!file.U16(map_offset + kMapHeaderSizeField, order, header_size) ||
      !file.U16(map_offset + kMapEntrySizeField, order, entry_size)) {
    return ContainerStatus::kTruncated;
  }
  if (header_size != kExpectedMapHeaderSize || entry_size != kExpectedMapEntrySize) {
    return ContainerStatus::kMapHeaderSize;
  }
  if (!file.U32(map_offset + kEntryCapacityField, order, capacity) ||
      !file.U32(map_offset + kUsedCountField, order, used_count)) {
    return ContainerStatus::kTruncated;
  }
  if (used_count > capacity) return ContainerStatus::kMapHeaderSize;
  const uint64_t slots = uint64_t{kMapEntrySize} * capacity;
  return RangeWithin(uint64_t{map_offset} + kFirstEntryField, slots, file.size())
             ? ContainerStatus::kOk
             : ContainerStatus::kTruncated;
}

// The first live entry whose chunk does not lie within the file; false when there is none.
bool FindChunkOutside(const MovieView& movie, uint32_t& entry) {
  for (uint32_t i = 0; i < movie.UsedCount(); ++i) {
    if (!movie.IsLive(i)) continue;
    const MapEntry found = movie.Entry(i);
    if (!RangeWithin(uint64_t{found.offset} + kChunkHeaderSize, found.length,
                     movie.mapping().size)) {
      entry = i;
      return true;
    }
  }
  return false;
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

bool HasMovieForm(const uint8_t* view, size_t size) {
  const ByteReader file(view, size);
  ByteOrder order = ByteOrder::kLittle;
  if (!OrderOf(file, order)) return false;
  for (const char* form : kMovieFormTypes) {
    if (TagIs(file, kFormTypeOffset, form, order)) return true;
  }
  return false;
}

ContainerCheck CheckContainer(const uint8_t* view, size_t size) {
  const ByteReader file(view, size);
  ByteOrder order = ByteOrder::kLittle;
  if (uint64_t{size} > kMaxContainerLength || !OrderOf(file, order)) {
    return {ContainerStatus::kNotAContainer};
  }
  uint32_t map_offset = 0;
  ContainerStatus status = CheckHeader(file, order);
  if (status == ContainerStatus::kOk) status = LocateMap(file, order, map_offset);
  if (status == ContainerStatus::kOk) status = CheckMap(file, order, map_offset);
  if (status != ContainerStatus::kOk) return {status};
  // The whole map lies within the view now, so the entries may be read unchecked. It only
  // reads here; the cast spares MovieView a read-only twin.
  const MovieView movie(const_cast<uint8_t*>(view), size);
  ContainerCheck check;
  if (FindChunkOutside(movie, check.entry)) check.status = ContainerStatus::kChunkOutsideFile;
  return check;
}

std::string DescribeDamage(const ContainerCheck& check) {
  switch (check.status) {
    case ContainerStatus::kTruncated:
      return "truncated";
    case ContainerStatus::kMapOutsideFile:
      return "map outside the file";
    case ContainerStatus::kChunkOutsideFile: {
      char text[32];
      std::snprintf(text, sizeof text, "chunk %04X outside the file", check.entry);
      return text;
    }
    case ContainerStatus::kMapHeaderSize:
      return "map header of another size";
    case ContainerStatus::kOk:
    case ContainerStatus::kNotAContainer:
    case ContainerStatus::kCompressed:
      break;
  }
  return "";
}

std::string TypeName(const MapEntry& entry) { return std::string(entry.type, 4); }

std::string ReadableType(const MapEntry& entry) {
  const std::string type = TypeName(entry);
  return type.substr(0, type.find('\0'));
}

MovieView::MovieView(const FileMapping& mapping) : mapping_(mapping) {
  const ByteReader file(mapping.view, mapping.size);
  ByteOrder order = ByteOrder::kLittle;
  if (OrderOf(file, order)) order_ = order;
  LocateMap(file, order_, map_offset_);
}

uint32_t MovieView::EntryCapacity() const {
  return LoadU32(data() + map_offset_ + kEntryCapacityField, order_);
}

uint32_t MovieView::UsedCount() const {
  return LoadU32(data() + map_offset_ + kUsedCountField, order_);
}

size_t MovieView::HeaderRegionLength() const {
  return static_cast<size_t>(HeaderRegionLengthFor(EntryCapacity()));
}

size_t MovieView::InputHeaderEnd() const {
  return IsCompacted() ? HeaderRegionLength() : size_t{kCompactedMapOffset};
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
  if (EntryTypeIs(i, kTypeFree) || EntryTypeIs(i, kTypeMmap) || entry.offset < InputHeaderEnd()) {
    return false;
  }
  return IsCompacted() ? entry.flags == 0 : !EntryTypeIs(i, kTypeJunk);
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

void MovieView::SetImapMapOffset(uint32_t offset) {
  StoreU32(data() + kImapMapOffset, offset, order_);
}

const uint8_t* MovieView::ChunkData(uint32_t i, size_t length) const {
  const uint64_t data_offset = uint64_t{Entry(i).offset} + kChunkHeaderSize;
  if (!RangeWithin(data_offset, length, mapping_.size)) return nullptr;
  return data() + data_offset;
}

const uint8_t* MovieView::EntryAt(uint32_t i) const {
  return data() + map_offset_ + kFirstEntryField + size_t{kMapEntrySize} * i;
}

uint8_t* MovieView::EntryAt(uint32_t i) {
  return data() + map_offset_ + kFirstEntryField + size_t{kMapEntrySize} * i;
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
