// Windows side of known_files.h: one FindFirstFileA / FindNextFileA pass over the folder.
#include <windows.h>

#include <string>

#include "util/known_files.h"

namespace quillon {

namespace {

bool IsFolder(const WIN32_FIND_DATAA& entry) {
  return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsSubfolder(const WIN32_FIND_DATAA& entry) {
  const std::string name = entry.cFileName;
  return IsFolder(entry) && name != "." && name != "..";
}

}  // namespace

ListFolderStatus ListRegularFiles(const std::string& folder, std::set<std::string>& names,
                                  std::set<std::string>* subfolders) {
  const std::string pattern = folder + "*";
  WIN32_FIND_DATAA entry;
  const HANDLE search = FindFirstFileA(pattern.c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    // An empty folder has no match at all; a missing one has no path.
    if (error == ERROR_FILE_NOT_FOUND) return ListFolderStatus::kListed;
    return error == ERROR_PATH_NOT_FOUND ? ListFolderStatus::kMissing
                                         : ListFolderStatus::kUnreadable;
  }
  do {
    if (!IsFolder(entry)) {
      names.insert(entry.cFileName);
    } else if (subfolders != nullptr && IsSubfolder(entry)) {
      subfolders->insert(entry.cFileName);
    }
  } while (FindNextFileA(search, &entry) != 0);
  const bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);
  return complete ? ListFolderStatus::kListed : ListFolderStatus::kUnreadable;
}

}  // namespace quillon
