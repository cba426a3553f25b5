// POSIX side of file_map.h: mmap of the whole file.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "util/file_map.h"

namespace quillon {

namespace {

FileMapping MapWholeFile(const std::string& path, int protection) {
  FileMapping mapping;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return mapping;
  struct stat info;
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
    const auto size = static_cast<size_t>(info.st_size);
    void* view = mmap(nullptr, size, protection, MAP_PRIVATE, fd, 0);
    if (view != MAP_FAILED) {
      mapping.view = static_cast<uint8_t*>(view);
      mapping.size = size;
      mapping.file = fd;  // kept for copies by the kernel
      return mapping;
    }
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
