#pragma once
// FilesDir as the passes meet it: which names may exist there, from one listing per folder, and
// which of its files a pass read, so that the run can name the files that matched nothing.

#include <set>
#include <string>
#include <vector>

#include "util/known_files.h"

namespace quillon {

class ReplacementFiles {
 public:
  explicit ReplacementFiles(std::string folder) : folder_(std::move(folder)) {}

  const std::string& folder() const { return folder_; }
  // False only when the folder's listing rules a file at `path` out.
  bool MayExist(const std::string& path) { return known_.MayExist(path); }
  // A pass opened the file at `path` (and used it, found it unchanged or refused it).
  void MarkRead(const std::string& path) { read_.insert(Key(path)); }

  // What the folder holds, walked with its subfolders; kMissing when there is no such folder.
  ListFolderStatus ListAll(std::vector<std::string>& paths) const;
  // Of `paths` (ListAll's), those whose name, or the name of the subfolder of FilesDir they lie
  // in, starts with `stem` and then "-" or ".": the files a movie of that stem may read.
  std::vector<std::string> OfMovie(const std::vector<std::string>& paths,
                                   const std::string& stem) const;
  bool WasRead(const std::string& path) const { return read_.count(Key(path)) != 0; }

 private:
  // A path as the file system tells names apart.
  static std::string Key(const std::string& path);

  std::string folder_;
  KnownFiles known_;
  std::set<std::string> read_;
};

}  // namespace quillon
