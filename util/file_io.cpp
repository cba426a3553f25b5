// The platform-independent part of file_io.h; file_io_platform.h has the system calls.
#include "util/file_io.h"

#include <new>

#include "util/file_io_platform.h"

namespace quillon {

namespace {

constexpr size_t kWriteBufferSize = 1 << 20;

}  // namespace

ReadFileStatus ReadWholeFile(const std::string& path, uint64_t max_length,
                             std::vector<uint8_t>& bytes) {
  uint64_t length = 0;
  std::FILE* file = OpenRegularFile(path, length);
  if (file == nullptr) return ReadFileStatus::kMissing;
  if (length > max_length || length > SIZE_MAX) {
    std::fclose(file);
    return ReadFileStatus::kTooLarge;
  }
  try {
    bytes.resize(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    std::fclose(file);
    bytes = std::vector<uint8_t>();
    return ReadFileStatus::kOutOfMemory;
  }
  const size_t read = bytes.empty() ? 0 : std::fread(bytes.data(), 1, bytes.size(), file);
  // A file that grew while being read is not read whole either.
  const bool whole = read == bytes.size() && std::fgetc(file) == EOF && !std::ferror(file);
  std::fclose(file);
  return whole ? ReadFileStatus::kOk : ReadFileStatus::kReadError;
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const std::string& final_path) {
  Abandon();
  final_path_ = final_path;
  file_ = CreateTemporaryBeside(final_path, temp_path_);
  if (file_ == nullptr) {
    temp_path_.clear();
    return false;
  }
  buffer_.resize(kWriteBufferSize);
  std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
  failed_ = false;
  return true;
}

bool AtomicFileWriter::Write(const void* data, size_t length) {
  if (file_ == nullptr || failed_) return false;
  if (length != 0 && std::fwrite(data, 1, length, file_) != length) failed_ = true;
  return !failed_;
}

bool AtomicFileWriter::SeekToStart() {
  if (file_ == nullptr || failed_) return false;
  if (std::fseek(file_, 0, SEEK_SET) != 0) failed_ = true;
  return !failed_;
}

bool AtomicFileWriter::Commit() {
  if (file_ == nullptr) return false;
  const bool flushed = !failed_ && std::fflush(file_) == 0;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed || !ReplaceFileWith(temp_path_, final_path_)) {
    RemoveFile(temp_path_);
    temp_path_.clear();
    return false;
  }
  temp_path_.clear();
  return true;
}

void AtomicFileWriter::Abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temp_path_.empty()) RemoveFile(temp_path_);
  temp_path_.clear();
}

}  // namespace quillon
