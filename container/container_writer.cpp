#include "container/container_writer.h"

#include "util/file_io.h"

namespace quillon {

namespace {

uint64_t OutputLengthOf(const MovieView& movie, const ReplacementTable& table, uint32_t i) {
  const Chunk* replacement = table.Get(i);
  return replacement != nullptr ? replacement->size()
                                : uint64_t{movie.Entry(i).length} + kChunkHeaderSize;
}

// Writes entry i's chunk at `offset` and points the map at it; returns its byte length.
size_t WriteLiveChunk(MovieView& movie, ReplacementTable& table, uint32_t i, uint32_t offset,
                      AtomicFileWriter& out) {
  Chunk replacement;
  if (table.Take(i, replacement)) {
    out.Write(replacement.data(), replacement.size());
    movie.SetEntryOffset(i, offset);
    movie.SetEntryLength(i, static_cast<uint32_t>(replacement.size() - kChunkHeaderSize));
    return replacement.size();
  }
  // The input chunk's own header and data; CheckContainer made sure they lie within the view.
  const MapEntry entry = movie.Entry(i);
  const size_t length = size_t{entry.length} + kChunkHeaderSize;
  out.Write(movie.data() + entry.offset, length);
  movie.SetEntryOffset(i, offset);
  return length;
}

}  // namespace

uint64_t ReLaidLength(const MovieView& movie, const ReplacementTable& table) {
  uint64_t total = movie.HeaderRegionLength();
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count; ++i) {
    if (movie.IsLive(i)) total += OutputLengthOf(movie, table, i);
  }
  return total;
}

WriteStatus WriteContainer(MovieView& movie, ReplacementTable& table,
                           const std::string& output_path) {
  if (ReLaidLength(movie, table) > kMaxOutputLength) return WriteStatus::kTooLarge;
  AtomicFileWriter out;
  if (!out.Open(output_path)) return WriteStatus::kCannotWrite;

  // The header region goes out twice: first as a placeholder, then with the patched map.
  const size_t header_length = movie.HeaderRegionLength();
  out.Write(movie.data(), header_length);
  uint64_t running = header_length;
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count; ++i) {
    if (!movie.IsLive(i)) continue;
    running += WriteLiveChunk(movie, table, i, static_cast<uint32_t>(running), out);
  }

  const auto container_length = static_cast<uint32_t>(running - kChunkHeaderSize);
  movie.SetContainerLength(container_length);
  if (movie.EntryCapacity() > 0) movie.SetEntryLength(0, container_length);
  out.SeekToStart();
  out.Write(movie.data(), header_length);
  return out.Commit() ? WriteStatus::kWritten : WriteStatus::kCannotWrite;
}

}  // namespace quillon
