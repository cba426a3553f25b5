#pragma once
// Image files by path: read whole (bounded) and decoded, and the stream the savers write through.

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

inline bool WriteExactly(std::FILE* stream, const void* buffer, size_t size) {
  return size == 0 || std::fwrite(buffer, 1, size, stream) == size;
}

}  // namespace quillon::image_file
