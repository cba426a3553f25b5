// POSIX side of file_map.h: mmap of the whole file.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/file_map.h"

namespace quillon {

namespace {

// The length of the open file when it is a regular file with bytes; else why it cannot be
// mapped whole.
FileError MappableLength(int fd, size_t& size) {
  struct stat info;
  if (fstat(fd, &info) != 0) return LastSystemError();
  if (S_ISDIR(info.st_mode)) return {FileProblem::kFolder, 0};
  if (!S_ISREG(info.st_mode)) return {FileProblem::kNotAFile, 0};
  if (info.st_size == 0) return {FileProblem::kEmpty, 0};
  size = static_cast<size_t>(info.st_size);
  return {};
}

FileMapping MapWholeFile(const std::string& path, int protection) {
  FileMapping mapping;
  // Not blocking: a pipe of that name must not hold the program at the open.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    mapping.error = LastSystemError();
    return mapping;
  }
  size_t size = 0;
  mapping.error = MappableLength(fd, size);
  if (mapping.error.problem == FileProblem::kNone) {
    void* view = mmap(nullptr, size, protection, MAP_PRIVATE, fd, 0);
    if (view != MAP_FAILED) {
      mapping.view = static_cast<uint8_t*>(view);
      mapping.size = size;
      mapping.file = fd;  // kept for copies by the kernel
      return mapping;
    }
    mapping.error = LastSystemError();
  }
  close(fd);
  return mapping;
}

}  // namespace

FileMapping MapFileReadOnly(const std::string& path) { return MapWholeFile(path, PROT_READ); }

FileMapping MapFileCopyOnWrite(const std::string& path) {
  return MapWholeFile(path, PROT_READ | PROT_WRITE);
}

bool UnmapFile(FileMapping& mapping) {
  if (!mapping.valid()) return false;
  const bool released = munmap(mapping.view, mapping.size) == 0;
  if (mapping.file != kNoFile) close(static_cast<int>(mapping.file));
  mapping = FileMapping();
  return released;
}

}  // namespace quillon
