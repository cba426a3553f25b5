// The parts of file_error.h that every platform shares.
#include "util/file_error.h"

namespace quillon {

std::string DescribeFileError(const FileError& error) {
  switch (error.problem) {
    case FileProblem::kSystem:
      return DescribeSystemError(error.system_code);
    case FileProblem::kFolder:
      return "it is a folder";
    case FileProblem::kEmpty:
      return "empty file";
    case FileProblem::kNotAFile:
      return "not a regular file";
    case FileProblem::kNone:
      break;
  }
  return "unknown error";
}

}  // namespace quillon
