#pragma once
// Small helpers the image file formats share: a stream closed on every way out, its length,
// and whole-block reads and writes.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "image/image_status.h"

namespace quillon {

class CDib;

// The image file at `path` read (bounded) and decoded into `image`. kMissing when the file does
// not exist or cannot be opened; on anything but kOk the image is empty.
ImageStatus LoadBmpFile(const std::string& path, CDib& image);
ImageStatus LoadTgaFile(const std::string& path, CDib& image);

}  // namespace quillon

namespace quillon::image_file {

struct StreamCloser {
  void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

inline Stream Open(const char* path, const char* mode) { return Stream(std::fopen(path, mode)); }

// Bytes in the stream's file; the position is kept. False when it cannot be told.
inline bool Length(std::FILE* stream, uint64_t& length) {
  const long position = std::ftell(stream);
  if (position < 0 || std::fseek(stream, 0, SEEK_END) != 0) return false;
  const long end = std::ftell(stream);
  if (std::fseek(stream, position, SEEK_SET) != 0 || end < 0) return false;
  length = static_cast<uint64_t>(end);
  return true;
}

inline bool ReadExactly(std::FILE* stream, void* buffer, size_t size) {
  return size == 0 || std::fread(buffer, 1, size, stream) == size;
}

inline bool WriteExactly(std::FILE* stream, const void* buffer, size_t size) {
  return size == 0 || std::fwrite(buffer, 1, size, stream) == size;
}

// Opens `path` for reading, reads its first `size` bytes and tells the file's length; null when
// any of it fails.
inline Stream OpenWithHeader(const char* path, uint8_t* header, size_t size, uint64_t& length) {
  Stream stream = Open(path, "rb");
  if (!stream || !ReadExactly(stream.get(), header, size) || !Length(stream.get(), length)) {
    return nullptr;
  }
  return stream;
}

}  // namespace quillon::image_file
