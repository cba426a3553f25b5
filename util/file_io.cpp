// The parts of file_io.h that every platform shares.
#include <algorithm>

#include "util/file_io.h"
#include "util/paths.h"

namespace quillon {

const char* DescribeReadFailure(ReadFileStatus status) {
  switch (status) {
    case ReadFileStatus::kReadError:
      return "cannot read it whole";
    case ReadFileStatus::kTooLarge:
      return "too large";
    case ReadFileStatus::kOutOfMemory:
      return "out of memory";
    case ReadFileStatus::kMissing:
    case ReadFileStatus::kOk:
      break;
  }
  return nullptr;
}

std::FILE* CreateTextFile(const std::string& path, FileError& error) {
  // Each system words a folder in its own way; the message is the same on both.
  if (IsFolder(path)) {
    error = {FileProblem::kFolder, 0};
    return nullptr;
  }
  std::FILE* file = std::fopen(path.c_str(), "wt");
  if (file == nullptr) error = LastSystemError();
  return file;
}

bool AtomicFileWriter::Start(const std::string& final_path) {
  Abandon();
  final_path_ = final_path;
  failed_ = false;
  kernel_copy_refused_ = false;
  error_ = {};
  if (!IsFolder(final_path)) return true;
  error_ = {FileProblem::kFolder, 0};
  return false;
}

bool AtomicFileWriter::Fail() {
  if (!failed_ && error_.problem == FileProblem::kNone) error_ = LastSystemError();
  failed_ = true;
  return false;
}

// Large blocks straight from the view: no user-space buffer between the pages and the file.
bool AtomicFileWriter::WriteFromView(const uint8_t* data, size_t length) {
  for (size_t done = 0; done < length; done += kViewWriteBlock) {
    if (!Write(data + done, std::min(kViewWriteBlock, length - done))) return false;
  }
  return !failed_;
}

}  // namespace quillon
