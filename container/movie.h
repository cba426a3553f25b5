#pragma once
// The movie container as stored on disk, a RIFX container in either byte order: big-endian on
// the Mac ("RIFX" as the file begins), little-endian on Windows, where every four-character tag
// is stored reversed too ("XFIR"). The header region, the memory map and its entries, reached
// through the mapped view of the whole file, are read and written in the file's byte order;
// everywhere else a chunk's type is handled in reading order ("BITD").

#include <cstddef>
#include <cstdint>
#include <string>

#include "util/byte_reader.h"
#include "util/file_map.h"

namespace quillon {

// File offset of memory-map entry 0 in a compacted movie.
inline constexpr uint32_t kHeaderFixedLength = 76;
inline constexpr uint32_t kMapEntrySize = 20;
inline constexpr uint32_t kChunkHeaderSize = 8;
// The container length field counts everything after the first 8 bytes in 32 bits, so no
// chunk, header included, can be longer than this.
inline constexpr uint64_t kMaxChunkLength = UINT32_MAX;
// For the same reason no container, the 8 bytes before its length included, is longer.
inline constexpr uint64_t kMaxContainerLength = uint64_t{UINT32_MAX} + 8;

// Chunk types, in reading order.
inline constexpr char kTypeContainer[] = "RIFX";
inline constexpr char kTypeImap[] = "imap";
inline constexpr char kTypeMmap[] = "mmap";
inline constexpr char kTypeFree[] = "free";
inline constexpr char kTypeJunk[] = "junk";
inline constexpr char kTypeCastTable[] = "CAS*";
inline constexpr char kTypeKeyTable[] = "KEY*";
inline constexpr char kTypeMedia[] = "XMED";
inline constexpr char kTypeBitmap[] = "BITD";
inline constexpr char kTypeAlpha[] = "ALFA";

// The four bytes of a chunk's type as a movie of `order` stores them (reversed in XFIR files),
// and back: the same reordering either way.
void StoreTag(const char* type, ByteOrder order, uint8_t* stored);
void ReadTag(const uint8_t* stored, ByteOrder order, char* type);

struct MapEntry {
  char type[4];  // reading order
  uint32_t length;
  uint32_t offset;
  uint32_t flags;
};

// The chunk's type in reading order, zero bytes kept.
std::string TypeName(const MapEntry& entry);
// The type as a text: up to its first zero byte.
std::string ReadableType(const MapEntry& entry);

// The file offset of the map chunk at the start of a compacted movie, right after the imap.
inline constexpr uint32_t kCompactedMapOffset = 44;

enum class ContainerStatus {
  kOk,
  kNotAContainer,     // not a RIFX container of Director's at all, or longer than any container
  kCompressed,        // a compressed Shockwave movie (form "FGDM" or "FGDC")
  kTruncated,         // the file ends before its header or inside its map
  kMapOutsideFile,    // no map at 44 and the imap points beyond the file
  kChunkOutsideFile,  // a live entry's chunk does not lie within the file
  kMapHeaderSize,     // map header or entry size other than 24 and 20, or more entries than slots
};

struct ContainerCheck {
  ContainerStatus status = ContainerStatus::kOk;
  uint32_t entry = 0;  // the entry of kChunkOutsideFile
  explicit operator bool() const { return status == ContainerStatus::kOk; }
};

// What is wrong with a damaged movie, for "damaged movie (%s)": "truncated",
// "chunk 0012 outside the file", ...; empty for kOk, kNotAContainer and kCompressed.
std::string DescribeDamage(const ContainerCheck& check);

// Whether the view holds a container this tool can work on, read through its current map (see
// MovieView). Besides the header tests it refuses what could lead a later pass outside the view:
// a map beyond the file, usedCount above entryCapacity, a live entry whose chunk does not lie
// within the file, and a file longer than any container (its tail could only be a misread
// length).
ContainerCheck CheckContainer(const uint8_t* view, size_t size);

// Whether the file's first bytes are those of a movie or a cast ("RIFX" or "XFIR" with the form
// "MV93" or "MC95" in the file's byte order), whatever follows them.
bool HasMovieForm(const uint8_t* view, size_t size);

// A checked container's view, through its current memory map: the one the imap's u32 at offset
// 24 points at when a map chunk stands there, else the one at 44. A movie saved without
// compacting has its current map further on and a stale one (or none) at 44. The write pass
// patches entries through it; since the view is copy-on-write, the patches never reach the input
// file.
class MovieView {
 public:
  // `view` must have passed CheckContainer. A view with its file open lets the write pass have
  // kept chunks copied file to file; a view without one writes them from memory.
  MovieView() = default;
  MovieView(uint8_t* view, size_t size) : MovieView(FileMapping{view, size, kNoFile, {}}) {}
  explicit MovieView(const FileMapping& mapping);

  uint8_t* data() const { return mapping_.view; }
  // Big-endian for a RIFX file, little-endian for an XFIR file.
  ByteOrder order() const { return order_; }
  // The view and the file it maps, if any. Its chunks match the file: only the header region
  // is ever patched.
  const FileMapping& mapping() const { return mapping_; }
  uint32_t EntryCapacity() const;
  uint32_t UsedCount() const;
  // File offset of the current map chunk; kCompactedMapOffset in a compacted movie.
  uint32_t MapOffset() const { return map_offset_; }
  bool IsCompacted() const { return map_offset_ == kCompactedMapOffset; }
  // 76 + 20 x entryCapacity: the container header, the imap and the whole mmap chunk, as a
  // compacted movie (the output always) has them.
  size_t HeaderRegionLength() const;
  // Where the input's chunks may begin: after the header region in a compacted movie, after
  // the imap in one whose map lies further on.
  size_t InputHeaderEnd() const;

  // Entry access; i must be below UsedCount().
  MapEntry Entry(uint32_t i) const;
  bool EntryTypeIs(uint32_t i, const char* type) const;
  // The entry's tag as the file stores it, which a chunk's own header repeats.
  const uint8_t* StoredTag(uint32_t i) const { return EntryAt(i); }
  // Not free, not a map, its chunk at or beyond InputHeaderEnd(), and in a compacted movie flags
  // zero; in one whose map lies further on Director leaves flags on real chunks, and there only
  // junk (the stale map among others) is dropped.
  bool IsLive(uint32_t i) const;
  void SetEntryOffset(uint32_t i, uint32_t offset);
  void SetEntryLength(uint32_t i, uint32_t length);
  void SetContainerLength(uint32_t length);
  // Points the imap at a map at `offset`.
  void SetImapMapOffset(uint32_t offset);

  // The entry's chunk data (offset + 8) when `length` bytes of it lie within the file, else
  // null. Live entries' whole chunks always do; other entries are checked here.
  const uint8_t* ChunkData(uint32_t i, size_t length) const;

 private:
  const uint8_t* EntryAt(uint32_t i) const;
  uint8_t* EntryAt(uint32_t i);

  FileMapping mapping_;
  ByteOrder order_ = ByteOrder::kLittle;
  uint32_t map_offset_ = kCompactedMapOffset;
};

// The data of the first entry below usedCount of type `type`, with its length; null (length
// untouched) when there is none or its data does not lie within the file.
const uint8_t* FindChunk(const MovieView& movie, const char* type, uint32_t& length);

}  // namespace quillon
