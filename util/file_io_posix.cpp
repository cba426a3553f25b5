// POSIX side of file_io.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <new>

#include "util/file_io.h"

namespace quillon {

namespace {

constexpr size_t kWriteBufferSize = 1 << 20;

// mkstemp creates its file for the owner alone; the output gets the usual permissions.
mode_t DefaultFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

ReadFileStatus ReadWholeFile(const std::string& path, uint64_t max_length,
                             std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return ReadFileStatus::kMissing;
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fclose(file);
    return ReadFileStatus::kMissing;
  }
  const auto length = static_cast<uint64_t>(info.st_size);
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

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const std::string& final_path) {
  Abandon();
  final_path_ = final_path;
  std::string pattern = final_path + ".XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return false;
  temp_path_ = pattern;
  fchmod(fd, DefaultFileMode());
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    unlink(temp_path_.c_str());
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
  if (!flushed || !closed || std::rename(temp_path_.c_str(), final_path_.c_str()) != 0) {
    unlink(temp_path_.c_str());
    temp_path_.clear();
    return false;
  }
  temp_path_.clear();
  return true;
}

void AtomicFileWriter::Abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temp_path_.empty()) unlink(temp_path_.c_str());
  temp_path_.clear();
}

}  // namespace quillon
