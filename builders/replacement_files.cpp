#include "builders/replacement_files.h"

#include <utility>

#include "util/paths.h"

namespace quillon {

namespace {

// Folders below FilesDir are walked no deeper than a chunk type can reach (a type of four
// characters holds at most two separators), and a little more for what users put there.
constexpr int kMaxDepth = 4;

// The stem, then "-" or "." (or nothing): how every name the movie reads begins, and how a file
// of "mac.dxr" does not begin for the movie "m.dxr".
bool NamedAfter(const std::string& name, const std::string& stem) {
  if (name.size() < stem.size()) return false;
  for (size_t i = 0; i < stem.size(); ++i) {
    if (FoldNameCase(name[i]) != FoldNameCase(stem[i])) return false;
  }
  return name.size() == stem.size() || name[stem.size()] == '-' || name[stem.size()] == '.';
}

ListFolderStatus Walk(const std::string& folder, int depth, std::vector<std::string>& paths) {
  std::set<std::string> names;
  std::set<std::string> subfolders;
  const ListFolderStatus status =
      ListRegularFiles(folder + kPathSeparator, names, depth < kMaxDepth ? &subfolders : nullptr);
  for (const std::string& name : names) paths.push_back(JoinPath(folder, name));
  for (const std::string& subfolder : subfolders) {
    Walk(JoinPath(folder, subfolder), depth + 1, paths);
  }
  return status;
}

}  // namespace

ListFolderStatus ReplacementFiles::ListAll(std::vector<std::string>& paths) const {
  return Walk(folder_, 0, paths);
}

std::vector<std::string> ReplacementFiles::OfMovie(const std::vector<std::string>& paths,
                                                   const std::string& stem) const {
  std::vector<std::string> of_movie;
  const size_t name_start = folder_.size() + 1;
  for (const std::string& path : paths) {
    if (path.size() > name_start && NamedAfter(path.substr(name_start), stem)) {
      of_movie.push_back(path);
    }
  }
  return of_movie;
}

std::string ReplacementFiles::Key(const std::string& path) {
  // The file an open of `path` reaches: Windows drops a name's trailing dots and spaces.
  const size_t separator = FindLastSeparator(path);
  const size_t name_start = separator == std::string::npos ? 0 : separator + 1;
  std::string key = path.substr(0, name_start) + OpenedFileName(path.substr(name_start));
  for (char& c : key) c = FoldNameCase(c);
  return key;
}

}  // namespace quillon
