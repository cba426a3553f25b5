#include "builders/raw_pass.h"

#include <utility>
#include <vector>

#include "builders/log_lines.h"
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

// Takes or refuses the file at `path`, shown and noted as read; false when there is none.
bool TryRawReplacement(const MovieView& movie, uint32_t index, const std::string& path,
                       const BuildContext& context, ReplacementFiles& files) {
  Chunk bytes;
  const ReadFileStatus status = ReadWholeFile(path, kMaxChunkLength, bytes);
  if (status == ReadFileStatus::kMissing) return false;
  files.MarkRead(path);
  context.report.ShowProgress(path);
  const char* refusal = nullptr;
  if (status == ReadFileStatus::kTooLarge) {
    refusal = "larger than 4 GB";  // the most a chunk can hold
  } else if (status != ReadFileStatus::kOk) {
    refusal = DescribeReadFailure(status);
  } else {
    refusal = RefusalOfChunkFile(movie, index, bytes);
  }
  if (refusal != nullptr) {
    context.report.WriteRefusal(kFrameNotSubstituted, index, path.c_str(), refusal);
    return true;
  }
  if (context.MovieHolds(index, bytes)) {
    context.report.CountUnchanged();
    return true;
  }
  context.report.Write(kFrameSubstituted, index, path.c_str());
  context.table.PutReplacement(index, std::move(bytes));
  return true;
}

// Where entry i's file is looked for, in turn: the exact name as an open reaches it, unless that
// is the Windows name already (always, on Windows), then the Windows name.
std::vector<std::string> RawFilePaths(const BuildContext& context, const MovieView& movie,
                                      uint32_t i) {
  const std::string exact = RawReplacementName(movie, i, context.stem);
  const std::string windows = WindowsRawName(movie, i, context.stem);
  std::vector<std::string> paths;
  if (OpenedFileName(exact) != windows) paths.push_back(JoinPath(context.files_dir, exact));
  paths.push_back(JoinPath(context.files_dir, windows));
  return paths;
}

}  // namespace

std::string RawReplacementName(const MovieView& movie, uint32_t index, const std::string& stem) {
  return ReplacementFileName(stem, index, "." + TagToExtension(TypeName(movie.Entry(index))));
}

std::string WindowsRawName(const MovieView& movie, uint32_t index, const std::string& stem) {
  const std::string name = RawReplacementName(movie, index, stem);
  const size_t separator = name.rfind(kPathSeparator);
  const size_t last = separator == std::string::npos ? 0 : separator + 1;
  return name.substr(0, last) + WindowsFileName(name.substr(last));
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
    for (const std::string& path : RawFilePaths(context, movie, i)) {
      if (files.MayExist(path) && TryRawReplacement(movie, i, path, context, files)) break;
    }
  }
}

}  // namespace quillon
