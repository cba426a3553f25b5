#include "container/container_writer.h"

#include "util/file_io.h"

namespace quillon {

namespace {

// Director starts every chunk at an even offset: a chunk of odd data length is followed by one
// pad byte that its map entry does not count.
bool NeedsPadByte(uint64_t chunk_length) { return chunk_length % 2 != 0; }

uint64_t PaddedLength(uint64_t chunk_length) {
  return chunk_length + (NeedsPadByte(chunk_length) ? 1 : 0);
}

uint64_t OutputLengthOf(const MovieView& movie, const ReplacementTable& table, uint32_t i) {
  const Chunk* replacement = table.Get(i);
  return PaddedLength(replacement != nullptr ? replacement->size()
                                             : uint64_t{movie.Entry(i).length} + kChunkHeaderSize);
}

// Kept input chunks that lie back to back in the input, with the zero pad bytes between them.
// They follow each other in the output too, so one copy carries them all.
struct KeptRun {
  uint64_t offset = 0;
  size_t length = 0;  // within the view, so it fits
};

// Copies the run, if any, and leaves it empty. The copy may come from the file or from the
// view: they differ only in the header region, the only part of the view that is patched, and
// a run holds that only as the placeholder written over at the end.
void FlushRun(const MovieView& movie, KeptRun& run, AtomicFileWriter& out) {
  if (run.length != 0) out.CopyFrom(movie.mapping(), run.offset, run.length);
  run = KeptRun();
}

void WritePadByte(AtomicFileWriter& out) {
  static constexpr uint8_t kPad = 0;
  out.Write(&kPad, 1);
}

// The input chunk's own header and data join the run, or start a new one; returns its length
// with its pad byte. A zero pad byte in the input joins the run too, so that a movie Director
// laid out is still one copy per run; any other is replaced by a zero written after the run.
// CheckContainer made sure the chunk lies within the view.
uint64_t KeepChunk(const MovieView& movie, uint32_t i, KeptRun& run, AtomicFileWriter& out) {
  const MapEntry entry = movie.Entry(i);
  const size_t length = size_t{entry.length} + kChunkHeaderSize;
  if (run.length == 0 || run.offset + run.length != entry.offset) {
    FlushRun(movie, run, out);
    run.offset = entry.offset;
  }
  run.length += length;
  if (!NeedsPadByte(length)) return length;
  uint8_t input_pad = 1;
  if (ReadMappedByte(movie.mapping(), uint64_t{entry.offset} + length, input_pad) &&
      input_pad == 0) {
    ++run.length;
  } else {
    FlushRun(movie, run, out);
    WritePadByte(out);
  }
  return uint64_t{length} + 1;
}

// Writes entry i's chunk at `offset`, or lets it join the run of kept chunks, and points the
// map at it; returns its byte length with its pad byte.
uint64_t WriteLiveChunk(MovieView& movie, ReplacementTable& table, uint32_t i, uint32_t offset,
                        KeptRun& run, AtomicFileWriter& out) {
  Chunk replacement;
  if (table.Take(i, replacement)) {
    FlushRun(movie, run, out);
    out.Write(replacement.data(), replacement.size());
    if (NeedsPadByte(replacement.size())) WritePadByte(out);
    movie.SetEntryOffset(i, offset);
    movie.SetEntryLength(i, static_cast<uint32_t>(replacement.size() - kChunkHeaderSize));
    return PaddedLength(replacement.size());
  }
  const uint64_t length = KeepChunk(movie, i, run, out);
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

uint32_t ReplacedChunkCount(const MovieView& movie, const ReplacementTable& table) {
  uint32_t count = 0;
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count; ++i) {
    if (movie.IsLive(i) && table.Has(i)) ++count;
  }
  return count;
}

namespace {

// Everything the output holds, into `out`; a failed write shows at the commit.
void WriteReLaid(MovieView& movie, ReplacementTable& table, AtomicFileWriter& out) {
  // The header region goes out twice: first as a placeholder, then with the patched map. The
  // placeholder is the input's own header region, copied with the kept chunks that follow it:
  // a kernel copy that starts at the file's start runs markedly faster (on ext4, 15 to 20% for
  // a movie of 512 MiB) than one that starts after a written header.
  const size_t header_length = movie.HeaderRegionLength();
  uint64_t running = header_length;
  KeptRun run{0, header_length};
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count; ++i) {
    if (!movie.IsLive(i)) continue;
    running += WriteLiveChunk(movie, table, i, static_cast<uint32_t>(running), run, out);
  }
  FlushRun(movie, run, out);

  const auto container_length = static_cast<uint32_t>(running - kChunkHeaderSize);
  movie.SetContainerLength(container_length);
  if (movie.EntryCapacity() > 0) movie.SetEntryLength(0, container_length);
  out.SeekToStart();
  out.Write(movie.data(), header_length);
}

}  // namespace

WriteStatus WriteContainer(MovieView& movie, ReplacementTable& table,
                           const std::string& output_path, FileError* error) {
  if (ReLaidLength(movie, table) > kMaxOutputLength) return WriteStatus::kTooLarge;
  AtomicFileWriter out;
  if (out.Open(output_path)) {
    WriteReLaid(movie, table, out);
    if (out.Commit()) return WriteStatus::kWritten;
  }
  if (error != nullptr) *error = out.error();
  return WriteStatus::kCannotWrite;
}

}  // namespace quillon
