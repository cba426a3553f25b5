// Windows side of file_error.h: GetLastError, in the words POSIX systems use where the error is
// a common one, so that both systems print the same messages; FormatMessage for the others.
#include <windows.h>

#include <cstdio>

#include "util/file_error.h"

namespace quillon {

namespace {

struct KnownError {
  DWORD code;
  const char* text;
};

constexpr KnownError kKnownErrors[] = {
    {ERROR_FILE_NOT_FOUND, "No such file or directory"},
    {ERROR_PATH_NOT_FOUND, "No such file or directory"},
    {ERROR_INVALID_DRIVE, "No such file or directory"},
    {ERROR_BAD_NETPATH, "No such file or directory"},
    {ERROR_ACCESS_DENIED, "Permission denied"},
    {ERROR_SHARING_VIOLATION, "Permission denied"},
    {ERROR_LOCK_VIOLATION, "Permission denied"},
    {ERROR_WRITE_PROTECT, "Read-only file system"},
    {ERROR_DISK_FULL, "No space left on device"},
    {ERROR_HANDLE_DISK_FULL, "No space left on device"},
    {ERROR_NOT_ENOUGH_MEMORY, "Cannot allocate memory"},
    {ERROR_OUTOFMEMORY, "Cannot allocate memory"},
    {ERROR_COMMITMENT_LIMIT, "Cannot allocate memory"},
    {ERROR_FILENAME_EXCED_RANGE, "File name too long"},
    {ERROR_INVALID_NAME, "Invalid argument"},
    {ERROR_FILE_EXISTS, "File exists"},
    {ERROR_ALREADY_EXISTS, "File exists"},
    {ERROR_DIRECTORY, "Not a directory"},
    {ERROR_FILE_TOO_LARGE, "File too large"},
};

// The system's own sentence, without its closing full stop and line end.
std::string SystemMessage(DWORD code) {
  char text[512];
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                      nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US),
                                      text, sizeof text, nullptr);
  std::string message(text, length < sizeof text ? length : 0);
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                              message.back() == '.' || message.back() == ' ')) {
    message.pop_back();
  }
  if (!message.empty()) return message;
  std::snprintf(text, sizeof text, "error %lu", static_cast<unsigned long>(code));
  return text;
}

}  // namespace

FileError LastSystemError() { return {FileProblem::kSystem, static_cast<int>(GetLastError())}; }

std::string DescribeSystemError(int code) {
  if (code == 0) return "unknown error";
  const auto native = static_cast<DWORD>(code);
  for (const KnownError& known : kKnownErrors) {
    if (known.code == native) return known.text;
  }
  return SystemMessage(native);
}

}  // namespace quillon
