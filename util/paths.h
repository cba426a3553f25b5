#pragma once
// Naming the run's files: splitting and joining paths, the stored spelling of a name, folders.
// Paths use the platform's separator: "/" on POSIX, "\" on Windows.

#include <string>

namespace quillon {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Windows takes "/" as well, so a typed path may split at either; composed paths use "\".
inline constexpr char kPathSeparators[] = "\\/";
// Whether the file system takes names that differ in letter case for one another.
inline constexpr bool kNamesIgnoreCase = true;
#else
inline constexpr char kPathSeparator = '/';
inline constexpr char kPathSeparators[] = "/";
inline constexpr bool kNamesIgnoreCase = false;
#endif

// A name's character as the file system compares names: lower case where it ignores case.
inline char FoldNameCase(char c) {
  return kNamesIgnoreCase && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Position of the last separator in the path; npos when it has none.
inline size_t FindLastSeparator(const std::string& path) {
  return path.find_last_of(kPathSeparators);
}

// The part after the last separator; the whole path when it has none.
std::string GetFileName(const std::string& path);

// The name cut at its last "."; unchanged when it has none.
std::string StripExtension(const std::string& name);

// The part before the last separator at position 1 or later; empty when there is none.
std::string GetFolder(const std::string& path);

// folder + separator + name.
std::string JoinPath(const std::string& folder, const std::string& name);

// A chunk type made safe as a file-name extension: "/" becomes the separator (a subfolder),
// "?*$;," and bytes of 0x80 and above become "_"; a zero byte ends the extension.
std::string TagToExtension(const std::string& type);

// Whether `part`, one component of a path, can name a file or folder of its own: it is not
// empty, ".", ".." or split by a separator, and the system takes it as it stands.
bool CanNameFile(const std::string& part);

// The platform's own rules for a name: on Windows no < > : " | or control characters, no dot
// or space at the end (Windows would drop it and reach another file) and no device name (CON,
// PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9, with any extension); elsewhere every name.
bool SystemTakesName(const std::string& part);

// `name`, a path's last component, without the dots and spaces it ends in: the name Windows
// opens for it. Files written under this form are found on every system.
std::string WindowsFileName(const std::string& name);

// The name an open of `name`, a path's last component, reaches: WindowsFileName on Windows,
// which drops those dots and spaces; elsewhere `name` itself.
std::string OpenedFileName(const std::string& name);

// True when the path names a folder (symbolic links followed).
bool IsFolder(const std::string& path);

// The path with its last component spelled as the folder stores it: an exact match when one
// exists, else a case-insensitive match in the folder, else the path itself.
std::string GetStoredPath(const std::string& path);

// Creates every folder along the path that is missing; true when the folder exists afterwards.
bool CreateFolders(const std::string& path);

}  // namespace quillon
