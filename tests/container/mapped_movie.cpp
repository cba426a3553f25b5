#include "tests/container/mapped_movie.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>


namespace quillon::test {

namespace {

// A tmpfs folder, on another device than the scratch folder when copies from it are refused.
constexpr char kOtherFileSystem[] = "/dev/shm";

}  // namespace

bool CopyPathAvailable(CopyPath path, const std::string& scratch_folder) {
  if (path != CopyPath::kRefusedCopy) return true;
  struct stat other, scratch;
  return stat(kOtherFileSystem, &other) == 0 && stat(scratch_folder.c_str(), &scratch) == 0 &&
         other.st_dev != scratch.st_dev && access(kOtherFileSystem, W_OK) == 0;
}

std::string CopyPathName(CopyPath path) {
  switch (path) {
    case CopyPath::kFromMemory:
      return "FromMemory";
    case CopyPath::kKernelCopy:
      return "KernelCopy";
    case CopyPath::kBufferedCopy:
      return "BufferedCopy";
    case CopyPath::kRefusedCopy:
      return "RefusedCopy";
  }
  return "";
}

MappedMovie::~MappedMovie() {
  UnmapFile(mapping_);
  if (!file_.empty()) unlink(file_.c_str());
}

bool MappedMovie::Load(const Bytes& bytes, CopyPath path, const std::string& scratch_folder) {
  if (path == CopyPath::kFromMemory) {
    memory_ = bytes;
    return true;
  }
  if (!CopyPathAvailable(path, scratch_folder)) return false;
  file_ = (path == CopyPath::kRefusedCopy ? std::string(kOtherFileSystem) : scratch_folder) +
          "/quillon-movie-" + std::to_string(getpid()) + "-" +
          std::to_string(reinterpret_cast<uintptr_t>(this));
  std::ofstream(file_, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  mapping_ = MapFileCopyOnWrite(file_);
  every_copy_buffered_ = path == CopyPath::kBufferedCopy;
  return mapping_.valid();
}

WriteOptions MappedMovie::Options() const {
  return {every_copy_buffered_ ? BufferedCopies::kAll : BufferedCopies::kShifted};
}

MovieView MappedMovie::View() {
  return mapping_.valid() ? MovieView(mapping_) : MovieView(memory_.data(), memory_.size());
}

}  // namespace quillon::test
