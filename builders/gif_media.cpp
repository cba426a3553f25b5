#include "builders/gif_media.h"

#include <cstring>
#include <utility>
#include <vector>

#include "builders/chunk.h"
#include "builders/replacement_names.h"
#include "container/movie.h"
#include "util/file_io.h"

namespace quillon {

namespace {

constexpr char kSuffix[] = ".gif";
constexpr char kGifSignature[] = "GIF89a";
constexpr size_t kGifSignatureLength = 6;
constexpr uint64_t kMaxGifLength = kMaxChunkLength - kChunkHeaderSize;

}  // namespace

bool HoldsGif89a(const MovieView& movie, uint32_t child) {
  const uint8_t* data = movie.ChunkData(child, kGifSignatureLength);
  return data != nullptr && std::memcmp(data, kGifSignature, kGifSignatureLength) == 0;
}

bool AcceptsGif89a(const MovieView& movie, CastMedia& media) {
  return HoldsGif89a(movie, media.child);
}

void SubstituteGif(const BuildContext& context, const CastMedia& media, ImportedChunk& imported) {
  const std::string path = context.MemberFile(media.cast_number, kSuffix);
  context.ShowFile(path, imported);
  std::vector<uint8_t> gif;
  // A file that cannot be read whole is refused, so that no unread bytes reach the output.
  const ReadFileStatus status = ReadWholeFile(path, kMaxGifLength, gif);
  if (const char* reason = DescribeReadFailure(status)) {
    context.LogUnusableFile(path, reason);
    return;
  }
  if (status != ReadFileStatus::kOk) return;
  Chunk chunk = MakeChunk(kTypeMedia, static_cast<uint32_t>(gif.size()), context.order());
  if (!gif.empty()) std::memcpy(chunk.data() + kChunkHeaderSize, gif.data(), gif.size());
  imported.chunk = std::move(chunk);
}

void ExportGif(const ExportContext& context, const CastMedia& media, ManifestRow& row,
               ExportedFile& file) {
  const uint32_t length = context.movie.Entry(media.child).length;
  const uint8_t* data = context.movie.ChunkData(media.child, length);
  if (data == nullptr) {
    row.note = "chunk lies outside the file";
    return;
  }
  file.Point(ReplacementFileName(context.stem, media.cast_number, kSuffix), data, length);
}

}  // namespace quillon
