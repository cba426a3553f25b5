#pragma once
// Reading whole replacement files and writing an output beside its final name.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "util/file_error.h"
#include "util/file_map.h"

namespace quillon {

enum class ReadFileStatus {
  kMissing,      // no regular file of that name, or it cannot be opened
  kReadError,    // it opened but could not be read whole
  kTooLarge,     // longer than the caller's limit: nothing was read
  kOutOfMemory,  // no buffer of its length could be had
  kOk,
};

// Reads the whole file into `bytes` (resized to the file's length), unless it is longer than
// `max_length`. Never throws: a failed allocation is kOutOfMemory.
ReadFileStatus ReadWholeFile(const std::string& path, uint64_t max_length,
                             std::vector<uint8_t>& bytes);

// A read-only view of the whole file, unless it is longer than `max_length`: its bytes are used
// where the system keeps them, never copied into a buffer first. An empty file gives an empty
// view. A view that cannot be had is kOutOfMemory when the address space is short, else
// kReadError. The view keeps no file open (its `file` is kNoFile); the file must not shrink while
// the view is in use. UnmapFile releases it.
ReadFileStatus MapWholeFile(const std::string& path, uint64_t max_length, FileMapping& view);

// Why a file that exists was not read, for the log ("cannot read it whole", "too large", "out of
// memory"); null for kMissing (a missing file is passed over without a word) and kOk.
const char* DescribeReadFailure(ReadFileStatus status);

// True when both paths name the same existing file, however each is spelled.
bool IsSameFile(const std::string& a, const std::string& b);

// Which copies from a source's file go through the writer's buffer. Windows, which copies
// nothing file to file, takes no notice.
enum class BufferedCopies {
  kShifted,  // offset and output position differ modulo the page size
  kAll,      // lets tests hold the buffered path to the others on every layout
};
// Creates or empties a text file for writing (text mode: each "\n" becomes the platform's line
// end); null, with why, when it cannot.
std::FILE* CreateTextFile(const std::string& path, FileError& error);

// A file written under a temporary name beside `final_path` and renamed over it only when
// every write and the close succeeded, so that a failed run never leaves half a file or
// touches an older file of the same name. Writes go straight to the file, unbuffered: callers
// hand over whole chunks and long runs of them.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(BufferedCopies buffered = BufferedCopies::kShifted)
      : buffered_copies_(buffered) {}
  ~AtomicFileWriter();  // abandons an uncommitted file
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file; false when it cannot be created.
  bool Open(const std::string& final_path);
  // Each returns false once any write has failed; later writes are then skipped.
  bool Write(const void* data, size_t length);
  // Appends bytes offset to offset + length - 1 of `source`, which must lie within its view.
  // With the source's file open the bytes never pass through the view's pages: where `offset`
  // and the output position agree modulo the page size the kernel copies them file to file
  // (POSIX: copy_file_range, which continues after a short copy); where they differ, which
  // slows that copy by about 40%, they are read into the writer's one page-aligned buffer of
  // kCopyBufferLength bytes and written from it (or copied by the kernel all the same when no
  // buffer could be had). Where the kernel refuses (another file system, an old kernel) the
  // bytes are written from the view in large blocks, as they are when the source has no file;
  // Windows always does that (WriteFile from the view, blocks of kViewWriteBlock).
  bool CopyFrom(const FileMapping& source, uint64_t offset, size_t length);
  bool SeekToStart();
  // Flushes, closes and renames; false (temporary removed) when any step failed.
  bool Commit();
  // Closes and removes the temporary file.
  void Abandon();
  // Why the first failed step failed (a folder at `final_path`: kFolder).
  const FileError& error() const { return error_; }

 private:
  bool WriteFromView(const uint8_t* data, size_t length);
  // Abandons what the writer held and readies it for `final_path`; false (kFolder) when a
  // folder stands there, which the rename would fail on only at the end.
  bool Start(const std::string& final_path);
  // Marks the file failed with the error of the system call that just failed, unless an
  // earlier failure gave one; false.
  bool Fail();

  BufferedCopies buffered_copies_;
  NativeFile file_ = kNoFile;
  std::string temp_path_;
  std::string final_path_;
  bool failed_ = false;
  FileError error_;
  bool kernel_copy_refused_ = false;  // once refused, later copies go from the view at once

  struct FreeBlock {
    void operator()(uint8_t* block) const { std::free(block); }
  };
  // Shifted copies' buffer (POSIX), allocated at the first one and kept for the writer's life.
  std::unique_ptr<uint8_t[], FreeBlock> copy_buffer_;
};

// The largest single write from a view: large enough that the write calls cost nothing next to
// the bytes, small enough for any platform's length argument.
inline constexpr size_t kViewWriteBlock = size_t{8} << 20;

// The buffer of shifted copies: large enough that the calls cost nothing next to the bytes,
// small enough to keep the run's memory flat.
inline constexpr size_t kCopyBufferLength = size_t{1} << 20;


}  // namespace quillon
