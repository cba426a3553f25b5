#pragma once
// The write pass: the movie laid out again as a compacted movie (its current map at 44), the live
// chunks one after another in the order the input holds them, each at an even offset (a pad
// byte after each chunk of odd length, as Director lays them out), with every pending
// replacement in the place of the chunk it replaces and the memory map patched to match. Bytes
// no live entry covers are dropped; a compacted movie without such gaps and without
// replacements comes out as it went in.

#include <cstdint>
#include <string>

#include "container/movie.h"
#include "container/replacement_table.h"
#include "util/file_error.h"
#include "util/file_io.h"

namespace quillon {

inline constexpr uint64_t kMaxOutputLength = kMaxContainerLength;

enum class WriteStatus {
  kWritten,
  kTooLarge,     // the output would not fit kMaxOutputLength; nothing was opened
  kCannotWrite,  // the output could not be created or written; nothing was left behind
};

// The byte length the re-laid output will have, pad bytes included.
uint64_t ReLaidLength(const MovieView& movie, const ReplacementTable& table);

// How many chunks the write pass replaces: the replacements held for live entries.
uint32_t ReplacedChunkCount(const MovieView& movie, const ReplacementTable& table);

struct WriteOptions {
  BufferedCopies buffered_copies = BufferedCopies::kShifted;
};

// Writes the output through a temporary file renamed over `output_path` only on success, so an
// older output survives any failure. Patches the map in the (copy-on-write) view and releases
// each replacement once it is written. On kCannotWrite `error`, when given, says why.
WriteStatus WriteContainer(MovieView& movie, ReplacementTable& table,
                           const std::string& output_path, const WriteOptions& options = {},
                           FileError* error = nullptr);

}  // namespace quillon
