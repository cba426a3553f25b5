#pragma once
// A movie as the write pass meets it, over each of the ways kept chunks reach the output: from
// memory (a view without a file), copied file to file by the kernel, read into the writer's
// buffer and written from it, and from the view after the kernel refused (the input on another
// file system).

#include <string>

#include "container/container_writer.h"
#include "container/movie.h"
#include "fixtures/movie_builder.h"
#include "util/file_map.h"

namespace quillon::test {

// kBufferedCopy loads as kKernelCopy does; its Options() send every copy through the writer's
// buffer.
enum class CopyPath { kFromMemory, kKernelCopy, kBufferedCopy, kRefusedCopy };

std::string CopyPathName(CopyPath path);
// False when `path` cannot be had here (no second file system for kRefusedCopy).
bool CopyPathAvailable(CopyPath path, const std::string& scratch_folder);

class MappedMovie {
 public:
  MappedMovie() = default;
  ~MappedMovie();
  MappedMovie(const MappedMovie&) = delete;
  MappedMovie& operator=(const MappedMovie&) = delete;

  // Places `bytes` where `path` needs them and maps them copy-on-write; false when that failed.
  bool Load(const Bytes& bytes, CopyPath path, const std::string& scratch_folder);
  MovieView View();
  // The write pass's options for this copy path.
  WriteOptions Options() const;

 private:
  Bytes memory_;
  FileMapping mapping_;
  std::string file_;
  bool every_copy_buffered_ = false;
};

}  // namespace quillon::test
