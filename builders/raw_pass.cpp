#include "builders/raw_pass.h"

#include <utility>

#include "builders/replacement_files.h"
#include "builders/replacement_names.h"
#include "util/byte_reader.h"
#include "util/file_io.h"
#include "util/paths.h"

namespace quillon {

namespace {

// Why `bytes`, read whole, cannot replace entry i's chunk; null when they can. Readers check
// a chunk's header against its map entry, so a file whose header disagrees with the file
// would give a movie they refuse.
const char* RefusalOfChunkFile(const MovieView& movie, uint32_t i, const Chunk& bytes) {
  if (bytes.size() < kChunkHeaderSize) return "shorter than a frame header";
  const ByteReader header(bytes.data(), kChunkHeaderSize);
  if (!header.Matches(0, movie.StoredTag(i), 4)) return "header of another type";
  uint32_t length = 0;
  if (!header.U32(4, movie.order(), length) || length != bytes.size() - kChunkHeaderSize) {
    return "header length is not the file's";
  }
  return nullptr;
}

void TryRawReplacement(const MovieView& movie, uint32_t index, const std::string& path,
                       const BuildContext& context) {
  Chunk bytes;
  const ReadFileStatus status = ReadWholeFile(path, kMaxChunkLength, bytes);
  if (status == ReadFileStatus::kMissing) return;
  const char* refusal = nullptr;
  if (status == ReadFileStatus::kTooLarge) {
    refusal = "larger than 4 GB";  // the most a chunk can hold
  } else if (status != ReadFileStatus::kOk) {
    refusal = DescribeReadFailure(status);
  } else {
    refusal = RefusalOfChunkFile(movie, index, bytes);
  }
  if (refusal != nullptr) {
    context.report.WriteRefusal("Frame %04X was not substituted from file %s: %s!!!\n", index,
                                path.c_str(), refusal);
    return;
  }
  if (context.MovieHolds(index, bytes)) {
    context.report.CountUnchanged();
    return;
  }
  context.report.Write("Frame %04X was substituted from file %s...\n", index, path.c_str());
  context.table.PutReplacement(index, std::move(bytes));
}

}  // namespace

std::string RawReplacementName(const MovieView& movie, uint32_t index, const std::string& stem) {
  return ReplacementFileName(stem, index, "." + TagToExtension(TypeName(movie.Entry(index))));
}

void RawPass(const BuildContext& context) {
  if (context.movie() == nullptr) return;
  const MovieView& movie = *context.movie();
  // Most entries have no file: the folder is listed once instead of failing an open each.
  ReplacementFiles own_files(context.files_dir);
  ReplacementFiles& files = context.files != nullptr ? *context.files : own_files;
  const uint32_t used_count = movie.UsedCount();
  for (uint32_t i = 0; i < used_count; ++i) {
    if (!movie.IsLive(i)) continue;
    const std::string path =
        JoinPath(context.files_dir, RawReplacementName(movie, i, context.stem));
    if (!files.MayExist(path)) continue;
    files.MarkRead(path);
    context.report.ShowProgress(path);
    TryRawReplacement(movie, i, path, context);
  }
}

}  // namespace quillon
