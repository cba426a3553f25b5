#pragma once
// Reading whole replacement files and writing an output beside its final name.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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

// True when both paths name the same existing file, however each is spelled.
bool IsSameFile(const std::string& a, const std::string& b);

// A file written under a temporary name beside `final_path` and renamed over it only when
// every write and the close succeeded, so that a failed run never leaves half a file or
// touches an older file of the same name.
class AtomicFileWriter {
 public:
  AtomicFileWriter() = default;
  ~AtomicFileWriter();  // abandons an uncommitted file
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  // Creates the temporary file; false when it cannot be created.
  bool Open(const std::string& final_path);
  // Each returns false once any write has failed; later writes are then skipped.
  bool Write(const void* data, size_t length);
  bool SeekToStart();
  // Flushes, closes and renames; false (temporary removed) when any step failed.
  bool Commit();
  // Closes and removes the temporary file.
  void Abandon();

 private:
  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;  // the stream's buffer: setvbuf ignores a size without one
  std::string temp_path_;
  std::string final_path_;
  bool failed_ = false;
};

}  // namespace quillon
