#pragma once
// Why a file could not be opened or written, in words the user can act on.

#include <string>

namespace quillon {

enum class FileProblem {
  kNone,
  kSystem,      // the system refused: see FileError::system_code
  kFolder,      // the path names a folder
  kEmpty,       // a file of no bytes, which holds no movie
  kNotAFile,    // a device, a pipe or the like
};

struct FileError {
  FileProblem problem = FileProblem::kNone;
  int system_code = 0;  // with kSystem: errno on POSIX, GetLastError's code on Windows
};

// The error of the system call that has just failed.
FileError LastSystemError();

// The system's words for it, those of POSIX systems on Windows too for the common errors
// ("No such file or directory", "Permission denied", "No space left on device"), or the
// tool's own: "it is a folder", "empty file", "not a regular file".
std::string DescribeFileError(const FileError& error);

// The system's words for one of its error codes; "unknown error" for none (0).
std::string DescribeSystemError(int code);

}  // namespace quillon
