// POSIX side of paths.h: the stored spelling of a name and folder creation.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <set>

#include "util/paths.h"

namespace quillon {

namespace {

// The first entry of `folder` (in byte order, so the choice is repeatable) that matches `name`
// without regard to letter case; empty when none does.
std::string FindCaseInsensitive(const std::string& folder, const std::string& name) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return std::string();
  std::set<std::string> matches;
  while (const dirent* entry = readdir(dir)) {
    if (strcasecmp(entry->d_name, name.c_str()) == 0) matches.insert(entry->d_name);
  }
  closedir(dir);
  return matches.empty() ? std::string() : *matches.begin();
}

}  // namespace

std::string GetStoredPath(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0) return path;
  const size_t at = FindLastSeparator(path);
  // The folder part keeps its separator so that "/name" stays absolute.
  const std::string prefix = at == std::string::npos ? std::string() : path.substr(0, at + 1);
  const std::string name = at == std::string::npos ? path : path.substr(at + 1);
  if (name.empty()) return path;
  const std::string stored = FindCaseInsensitive(prefix, name);
  return stored.empty() ? path : prefix + stored;
}

bool CreateFolders(const std::string& path) {
  for (size_t at = path.find_first_of(kPathSeparators, 1); at != std::string::npos;
       at = path.find_first_of(kPathSeparators, at + 1)) {
    mkdir(path.substr(0, at).c_str(), 0777);
  }
  mkdir(path.c_str(), 0777);
  return IsFolder(path);
}

bool IsFolder(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool SystemTakesName(const std::string&) { return true; }

std::string OpenedFileName(const std::string& name) { return name; }

}  // namespace quillon
