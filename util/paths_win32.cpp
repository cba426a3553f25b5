// Windows side of paths.h: the stored spelling of a name and folder creation.
#include <windows.h>

#include <cctype>
#include <cstring>

#include "util/paths.h"

namespace quillon {

namespace {

// CON, PRN, AUX, NUL, COM0 to COM9 and LPT0 to LPT9 name devices in every folder, whatever
// follows them after a dot.
bool IsDeviceName(const std::string& part) {
  std::string base = part.substr(0, part.find('.'));
  for (char& c : base) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL") return true;
  return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
         std::isdigit(static_cast<unsigned char>(base[3])) != 0;
}

}  // namespace

bool SystemTakesName(const std::string& part) {
  for (const char c : part) {
    if (static_cast<unsigned char>(c) < 0x20 || std::strchr("<>:\"|", c) != nullptr) return false;
  }
  const char last = part.empty() ? '\0' : part.back();
  return last != '.' && last != ' ' && !IsDeviceName(part);
}

std::string OpenedFileName(const std::string& name) { return WindowsFileName(name); }

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::string GetStoredPath(const std::string& path) {
  // A wildcard would let the lookup pick a file the user never named.
  if (path.find_first_of("*?") != std::string::npos) return path;
  WIN32_FIND_DATAA found;
  // The lookup ignores letter case, as the file system does when the file is opened.
  const HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return path;
  FindClose(search);
  // The folder part (a drive such as "C:" included) stays as typed; only the name takes the
  // stored spelling, so the result names the very file the typed path names.
  const size_t at = path.find_last_of(std::string(kPathSeparators) + ":");
  const std::string prefix = at == std::string::npos ? std::string() : path.substr(0, at + 1);
  return prefix + found.cFileName;
}

bool CreateFolders(const std::string& path) {
  // Each level in turn, so that missing parents are made first; existing ones (and a drive
  // part such as "C:") simply fail.
  for (size_t at = path.find_first_of(kPathSeparators, 1); at != std::string::npos;
       at = path.find_first_of(kPathSeparators, at + 1)) {
    CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryA(path.c_str(), nullptr);
  return IsFolder(path);
}

}  // namespace quillon
