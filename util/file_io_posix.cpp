// POSIX side of file_io.h.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "util/file_io.h"

namespace quillon {

namespace {

int Descriptor(NativeFile file) { return static_cast<int>(file); }

bool WriteAll(int fd, const uint8_t* data, size_t length) {
  while (length > 0) {
    const ssize_t written = write(fd, data, length);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

// Errors that say the kernel cannot copy between these two files at all (another file system,
// an old kernel, a file system without the operation), as opposed to a failed write.
bool IsRefusal(int error) {
  return error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EINVAL;
}

enum class KernelCopy { kDone, kRefused, kFailed };

// Copies `length` bytes from `offset` of `from` to the current position of `to`, continuing
// after short copies; `copied` tells how far it got before a refusal.
KernelCopy CopyByKernel(int from, uint64_t offset, int to, size_t length, size_t& copied) {
  while (copied < length) {
    auto at = static_cast<off64_t>(offset + copied);
    const ssize_t n = copy_file_range(from, &at, to, nullptr, length - copied, 0);
    if (n > 0) {
      copied += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && IsRefusal(errno)) return KernelCopy::kRefused;
    // Nothing copied without an error: the input ended early (it shrank under the run).
    return KernelCopy::kFailed;
  }
  return KernelCopy::kDone;
}

// The page size, or the usual 4 KiB where it cannot be told.
uint64_t PageLength() {
  const long page = sysconf(_SC_PAGESIZE);
  return page > 0 ? static_cast<uint64_t>(page) : 4096;
}

// True when a copy from `offset` to the current position of `to` goes through the buffer: the
// kernel's file-to-file copy slows by about 40% when the two differ modulo the page size, a
// read and a write through a buffer do not. A position that cannot be told counts as agreeing.
bool CopyIsBuffered(BufferedCopies which, int to, uint64_t offset) {
  if (which == BufferedCopies::kAll) return true;
  const off64_t position = lseek64(to, 0, SEEK_CUR);
  const uint64_t page = PageLength();
  return position >= 0 && offset % page != static_cast<uint64_t>(position) % page;
}

// A page-aligned block of kCopyBufferLength bytes, or null when none can be had.
uint8_t* NewCopyBuffer() {
  void* block = nullptr;
  return posix_memalign(&block, static_cast<size_t>(PageLength()), kCopyBufferLength) == 0
             ? static_cast<uint8_t*>(block)
             : nullptr;
}

// Copies `length` bytes from `offset` of `from` to the current position of `to` through
// `buffer`, continuing after short reads and writes; false on a failed read or write, or when
// the input ended early (it shrank under the run).
bool CopyThroughBuffer(int from, uint64_t offset, int to, size_t length, uint8_t* buffer) {
  size_t copied = 0;
  while (copied < length) {
    const size_t ask = std::min(kCopyBufferLength, length - copied);
    const ssize_t got = pread64(from, buffer, ask, static_cast<off64_t>(offset + copied));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || !WriteAll(to, buffer, static_cast<size_t>(got))) return false;
    copied += static_cast<size_t>(got);
  }
  return true;
}

// mkstemp creates its file for the owner alone; the output gets the usual permissions.
mode_t DefaultFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Reads exactly `length` bytes; false on a failure or an early end.
bool ReadAll(int fd, uint8_t* data, size_t length) {
  while (length > 0) {
    const ssize_t got = read(fd, data, length);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    data += got;
    length -= static_cast<size_t>(got);
  }
  return true;
}

bool AtEnd(int fd) {
  uint8_t extra = 0;
  ssize_t got = 0;
  do {
    got = read(fd, &extra, 1);
  } while (got < 0 && errno == EINTR);
  return got == 0;
}

// Opens `path` for reading and tells its length, when it is a regular file of at most
// `max_length` bytes. A plain descriptor: a batch reads thousands of small files, and stdio would
// add a buffer, a status call and a read of its own to each. Not blocking: a FIFO in the folder
// must not hold the run at the open (it is then refused as no regular file).
ReadFileStatus OpenRegularFile(const std::string& path, uint64_t max_length, int& fd,
                               size_t& length) {
  fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ReadFileStatus::kMissing;
  struct stat info;
  ReadFileStatus status = ReadFileStatus::kOk;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    status = ReadFileStatus::kMissing;
  } else if (static_cast<uint64_t>(info.st_size) > std::min<uint64_t>(max_length, SIZE_MAX)) {
    status = ReadFileStatus::kTooLarge;
  } else {
    length = static_cast<size_t>(info.st_size);
  }
  if (status != ReadFileStatus::kOk) close(fd);
  return status;
}

// Everything `fd` holds: the `length` bytes its status gave.
ReadFileStatus ReadOpenFile(int fd, size_t length, std::vector<uint8_t>& bytes) {
  try {
    bytes.resize(length);
  } catch (const std::bad_alloc&) {
    bytes = std::vector<uint8_t>();
    return ReadFileStatus::kOutOfMemory;
  }
  // A file that grew while being read is not read whole either.
  return ReadAll(fd, bytes.data(), bytes.size()) && AtEnd(fd) ? ReadFileStatus::kOk
                                                               : ReadFileStatus::kReadError;
}

}  // namespace

ReadFileStatus ReadWholeFile(const std::string& path, uint64_t max_length,
                             std::vector<uint8_t>& bytes) {
  int fd = -1;
  size_t length = 0;
  const ReadFileStatus opened = OpenRegularFile(path, max_length, fd, length);
  if (opened != ReadFileStatus::kOk) return opened;
  const ReadFileStatus status = ReadOpenFile(fd, length, bytes);
  close(fd);
  return status;
}

ReadFileStatus MapWholeFile(const std::string& path, uint64_t max_length, FileMapping& view) {
  view = FileMapping();
  int fd = -1;
  size_t length = 0;
  const ReadFileStatus opened = OpenRegularFile(path, max_length, fd, length);
  if (opened != ReadFileStatus::kOk) return opened;
  void* pages = length == 0 ? nullptr : mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
  const int error = errno;
  // A view keeps the file's pages without the descriptor.
  close(fd);
  if (pages == MAP_FAILED) {
    return error == ENOMEM ? ReadFileStatus::kOutOfMemory : ReadFileStatus::kReadError;
  }
  view.view = static_cast<uint8_t*>(pages);
  view.size = length;
  return ReadFileStatus::kOk;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

AtomicFileWriter::~AtomicFileWriter() { Abandon(); }

bool AtomicFileWriter::Open(const std::string& final_path) {
  if (!Start(final_path)) return false;
  std::string pattern = final_path + ".XXXXXX";
  const int fd = mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return Fail();
  temp_path_ = pattern;
  fchmod(fd, DefaultFileMode());
  file_ = fd;
  return true;
}

bool AtomicFileWriter::Write(const void* data, size_t length) {
  if (file_ == kNoFile || failed_) return false;
  return WriteAll(Descriptor(file_), static_cast<const uint8_t*>(data), length) || Fail();
}

bool AtomicFileWriter::CopyFrom(const FileMapping& source, uint64_t offset, size_t length) {
  if (file_ == kNoFile || failed_) return false;
  if (source.file == kNoFile || kernel_copy_refused_) {
    return WriteFromView(source.view + offset, length);
  }
  const int from = Descriptor(source.file);
  const int to = Descriptor(file_);
  const bool buffered = CopyIsBuffered(buffered_copies_, to, offset);
  if (buffered && copy_buffer_ == nullptr) copy_buffer_.reset(NewCopyBuffer());
  if (buffered && copy_buffer_ != nullptr) {
    return CopyThroughBuffer(from, offset, to, length, copy_buffer_.get()) || Fail();
  }
  size_t copied = 0;
  switch (CopyByKernel(from, offset, to, length, copied)) {
    case KernelCopy::kDone:
      return true;
    case KernelCopy::kFailed:
      return Fail();
    case KernelCopy::kRefused:
      kernel_copy_refused_ = true;
      break;
  }
  return WriteFromView(source.view + offset + copied, length - copied);
}

bool AtomicFileWriter::SeekToStart() {
  if (file_ == kNoFile || failed_) return false;
  return lseek(Descriptor(file_), 0, SEEK_SET) == 0 || Fail();
}

bool AtomicFileWriter::Commit() {
  if (file_ == kNoFile) return false;
  const bool closed = close(Descriptor(file_)) == 0 || Fail();
  file_ = kNoFile;
  if (failed_ || !closed || std::rename(temp_path_.c_str(), final_path_.c_str()) != 0) {
    Fail();
    unlink(temp_path_.c_str());
    temp_path_.clear();
    return false;
  }
  temp_path_.clear();
  return true;
}

void AtomicFileWriter::Abandon() {
  if (file_ != kNoFile) close(Descriptor(file_));
  file_ = kNoFile;
  if (!temp_path_.empty()) unlink(temp_path_.c_str());
  temp_path_.clear();
}

}  // namespace quillon
