// POSIX side of known_files.h: one readdir pass over the folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "util/known_files.h"

namespace quillon {

namespace {

// Links and file systems that do not tell the type are asked with stat, which follows links
// as the open does.
bool HasType(DIR* dir, const dirent& entry, unsigned char type, mode_t mode) {
  if (entry.d_type == type) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat info;
  return fstatat(dirfd(dir), entry.d_name, &info, 0) == 0 && (info.st_mode & S_IFMT) == mode;
}

bool IsSubfolder(DIR* dir, const dirent& entry) {
  const std::string name = entry.d_name;
  return name != "." && name != ".." && HasType(dir, entry, DT_DIR, S_IFDIR);
}

}  // namespace

ListFolderStatus ListRegularFiles(const std::string& folder, std::set<std::string>& names,
                                  std::set<std::string>* subfolders) {
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
    if (HasType(dir, *entry, DT_REG, S_IFREG)) {
      names.insert(entry->d_name);
    } else if (subfolders != nullptr && IsSubfolder(dir, *entry)) {
      subfolders->insert(entry->d_name);
    }
  }
  closedir(dir);
  return complete ? ListFolderStatus::kListed : ListFolderStatus::kUnreadable;
}

}  // namespace quillon
