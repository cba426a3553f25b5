#pragma once
// Which paths may name a regular file, from one listing per folder, so that a pass looking for
// thousands of names that mostly do not exist opens only those that might.

#include <map>
#include <set>
#include <string>

namespace quillon {

class KnownFiles {
 public:
  // False only when the folder of `path` was listed and holds no regular file that an open of
  // `path` could reach; true sends the caller to the open, which decides. Each folder is listed
  // once, at its first path; later changes to it are not seen.
  bool MayExist(const std::string& path);

 private:
  struct Listing {
    bool listed = false;           // false: the folder could not be read, any name may exist
    std::set<std::string> folded;  // its regular files' names, folded (see known_files.cpp)
  };

  const Listing& ListingOf(const std::string& folder);

  std::map<std::string, Listing> listings_;
};

enum class ListFolderStatus {
  kListed,
  kMissing,     // no folder there: it holds nothing
  kUnreadable,  // it may exist but cannot be listed: nothing can be ruled out
};

// The names of the regular files in `folder` (a path that ends with a separator, or empty for
// the current folder), symbolic links followed as an open would, and when asked the names of
// its subfolders ("." and ".." left out). Each platform's side lists with its own calls (POSIX:
// opendir and readdir; Windows: FindFirstFileA on folder + "*", keeping names as stored).
ListFolderStatus ListRegularFiles(const std::string& folder, std::set<std::string>& names,
                                  std::set<std::string>* subfolders = nullptr);

}  // namespace quillon
