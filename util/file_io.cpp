// The parts of file_io.h that every platform shares.
#include <algorithm>

#include "util/file_io.h"

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

// Large blocks straight from the view: no user-space buffer between the pages and the file.
bool AtomicFileWriter::WriteFromView(const uint8_t* data, size_t length) {
  for (size_t done = 0; done < length; done += kViewWriteBlock) {
    if (!Write(data + done, std::min(kViewWriteBlock, length - done))) return false;
  }
  return !failed_;
}

}  // namespace quillon
