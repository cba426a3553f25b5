// POSIX side of file_io.h and file_io_platform.h.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "util/file_io.h"
#include "util/file_io_platform.h"

namespace quillon {

namespace {

// mkstemp creates its file for the owner alone; the output gets the usual permissions.
mode_t DefaultFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, uint64_t& length) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return nullptr;
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
    std::fclose(file);
    return nullptr;
  }
  length = static_cast<uint64_t>(info.st_size);
  return file;
}

std::FILE* CreateTemporaryBeside(const std::string& final_path, std::string& temp_path) {
  std::string pattern = final_path + ".XXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return nullptr;
  fchmod(fd, DefaultFileMode());
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    close(fd);
    unlink(pattern.c_str());
    return nullptr;
  }
  temp_path = pattern;
  return file;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace quillon
