#include "builders/build_context.h"

#include <algorithm>
#include <utility>

#include "builders/cast_media.h"
#include "builders/log_lines.h"
#include "builders/replacement_files.h"
#include "builders/replacement_names.h"
#include "container/cast_members.h"
#include "container/movie.h"

namespace quillon {

const MovieView* BuildContext::movie() const {
  return tables != nullptr ? tables->movie() : nullptr;
}

ByteOrder BuildContext::order() const {
  return movie() != nullptr ? movie()->order() : ByteOrder::kLittle;
}

std::string BuildContext::MemberFile(uint32_t cast_number, const char* suffix) const {
  return ReplacementFilePath(files_dir, stem, cast_number, suffix);
}

void BuildContext::ShowFile(const std::string& path, ImportedChunk& imported) const {
  imported.file = path;
  ShowFile(path);
}

void BuildContext::ShowFile(const std::string& path) const {
  if (files != nullptr) {
    if (!files->MayExist(path)) return;
    files->MarkRead(path);
  }
  report.ShowProgress(path);
}

void BuildContext::LogUnusableFile(const std::string& path, const char* reason) const {
  report.WriteRefusal(kCannotUseFile, path.c_str(), reason);
}

void BuildContext::StoreChunk(uint32_t child, Chunk chunk, const char* collision) const {
  if (MovieHolds(child, chunk)) {
    report.CountUnchanged();
    return;
  }
  if (table.PutReplacement(child, std::move(chunk)) == PutOutcome::kDisplaced) {
    report.Write(kAlreadyPatched, collision, child);
  }
}

bool BuildContext::MovieHolds(uint32_t index, const Chunk& chunk) const {
  if (movie() == nullptr || index >= movie()->UsedCount() || chunk.size() < kChunkHeaderSize) {
    return false;
  }
  const uint32_t length = movie()->Entry(index).length;
  if (chunk.size() - kChunkHeaderSize != length) return false;
  const uint8_t* data = movie()->ChunkData(index, length);
  return data != nullptr && std::equal(chunk.begin(), chunk.end(), data - kChunkHeaderSize);
}

}  // namespace quillon
