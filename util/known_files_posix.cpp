// POSIX side of known_files.h: one readdir pass over the folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "util/known_files.h"

namespace quillon {

namespace {

// Links and file systems that do not tell the type are asked with stat, which follows links
// as the open does.
bool IsRegularFile(DIR* dir, const dirent& entry) {
  if (entry.d_type == DT_REG) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat info;
  return fstatat(dirfd(dir), entry.d_name, &info, 0) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

ListFolderStatus ListRegularFiles(const std::string& folder, std::set<std::string>& names) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) {
    return errno == ENOENT || errno == ENOTDIR ? ListFolderStatus::kMissing
                                               : ListFolderStatus::kUnreadable;
  }
  bool complete = true;
  for (;;) {
    errno = 0;  // readdir tells its end from its failure only through errno
    const dirent* entry = readdir(dir);
    if (entry == nullptr) {
      complete = errno == 0;
      break;
    }
    if (IsRegularFile(dir, *entry)) names.insert(entry->d_name);
  }
  closedir(dir);
  return complete ? ListFolderStatus::kListed : ListFolderStatus::kUnreadable;
}

}  // namespace quillon
