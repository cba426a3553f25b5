#include "builders/gif_substitution.h"

#include <cstring>
#include <new>
#include <vector>

#include "builders/chunk.h"
#include "container/movie.h"
#include "util/file_io.h"

namespace quillon {

namespace {

constexpr uint64_t kMaxGifLength = kMaxChunkLength - kChunkHeaderSize;

// Why a GIF file that exists is not used; null when it was read (or is missing: silent).
const char* ReadFailureReason(ReadFileStatus status) {
  switch (status) {
    case ReadFileStatus::kReadError:
      return "cannot read it whole";
    case ReadFileStatus::kTooLarge:
      return "too large";
    case ReadFileStatus::kOutOfMemory:
      return "out of memory";
    case ReadFileStatus::kMissing:
    case ReadFileStatus::kOk:
      break;
  }
  return nullptr;
}

void StoreGifChunk(const BuildContext& context, uint32_t child, const std::vector<uint8_t>& gif) {
  Chunk chunk = MakeChunk(kTagMedia, static_cast<uint32_t>(gif.size()));
  if (!gif.empty()) std::memcpy(chunk.data() + kChunkHeaderSize, gif.data(), gif.size());
  if (context.table.PutReplacement(child, std::move(chunk)) == PutOutcome::kDisplaced) {
    context.log.Write(
        "Frames collision! Frame %04X was alread patched!!! Deleting previous patch...\n",
        child);
  }
}

}  // namespace

void SubstituteGif(const BuildContext& context, uint32_t cast_number, uint32_t child) {
  const std::string path = context.MemberFile(cast_number, ".gif");
  ShowProgress(path);
  std::vector<uint8_t> gif;
  // A file that cannot be read whole is refused, so that no unread bytes reach the output.
  const ReadFileStatus status = ReadWholeFile(path, kMaxGifLength, gif);
  if (const char* reason = ReadFailureReason(status)) {
    context.LogUnusableFile(path, reason);
    return;
  }
  if (status != ReadFileStatus::kOk) return;
  try {
    StoreGifChunk(context, child, gif);
  } catch (const std::bad_alloc&) {
    // The file and its chunk cannot both be had in memory.
    context.LogUnusableFile(path, "out of memory");
  }
}

}  // namespace quillon
