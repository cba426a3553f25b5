#include "builders/gif_substitution.h"

#include <cstring>
#include <vector>

#include "builders/chunk.h"
#include "container/movie.h"
#include "util/file_io.h"

namespace quillon {

namespace {

constexpr char kCollision[] =
    "Frames collision! Frame %04X was alread patched!!! Deleting previous patch...\n";
constexpr uint64_t kMaxGifLength = kMaxChunkLength - kChunkHeaderSize;

}  // namespace

void SubstituteGif(const BuildContext& context, uint32_t cast_number, uint32_t child) {
  const std::string path = context.MemberFile(cast_number, ".gif");
  ShowProgress(path);
  std::vector<uint8_t> gif;
  // A file that cannot be read whole is passed over like a missing one, so that no unread
  // bytes reach the output.
  if (ReadWholeFile(path, kMaxGifLength, gif) != ReadFileStatus::kOk) return;
  Chunk chunk = MakeChunk(kTagMedia, static_cast<uint32_t>(gif.size()));
  if (!gif.empty()) std::memcpy(chunk.data() + kChunkHeaderSize, gif.data(), gif.size());
  context.table.PutReplacement(child, std::move(chunk), &context.log, kCollision);
}

}  // namespace quillon
