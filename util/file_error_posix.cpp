// POSIX side of file_error.h: errno and strerror.
#include <cerrno>
#include <cstring>

#include "util/file_error.h"

namespace quillon {

FileError LastSystemError() { return {FileProblem::kSystem, errno}; }

std::string DescribeSystemError(int code) {
  return code == 0 ? "unknown error" : std::strerror(code);
}

}  // namespace quillon
