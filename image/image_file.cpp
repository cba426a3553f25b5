// Loading by path: the decoder reads a read-only view of the whole file (bounded), so that its
// bytes go from the system's pages straight into the image.
#include "image/image_file.h"

#include <new>

#include "image/dib.h"
#include "image/image_decode.h"
#include "util/file_io.h"
#include "util/file_map.h"

namespace quillon {
namespace {

// The largest pixel buffer a header can describe (biSizeImage is 32 bits), with room for the
// headers, image ID and colour map in front of it.
constexpr uint64_t kMaxImageFileLength = uint64_t{UINT32_MAX} + (uint64_t{1} << 20);

using Decoder = ImageStatus (*)(const uint8_t* data, size_t size, CDib& image);

ImageStatus FromReadStatus(ReadFileStatus status) {
  switch (status) {
    case ReadFileStatus::kOk: return ImageStatus::kOk;
    case ReadFileStatus::kMissing: return ImageStatus::kMissing;
    case ReadFileStatus::kReadError: return ImageStatus::kCannotRead;
    case ReadFileStatus::kTooLarge: return ImageStatus::kTooLarge;
    case ReadFileStatus::kOutOfMemory: return ImageStatus::kOutOfMemory;
  }
  return ImageStatus::kCannotRead;
}

// Releases the view on every way out.
struct ScopedView {
  FileMapping view;
  ~ScopedView() { UnmapFile(view); }
};

// Leaves `image` as the decoder leaves it, or untouched when the file cannot be read.
ImageStatus ReadAndDecode(const char* path, Decoder decode, CDib& image) {
  try {
    ScopedView file;
    const ReadFileStatus read = MapWholeFile(path, kMaxImageFileLength, file.view);
    if (read != ReadFileStatus::kOk) return FromReadStatus(read);
    return decode(file.view.view, file.view.size, image);
  } catch (const std::bad_alloc&) {
    return ImageStatus::kOutOfMemory;  // the path's own copy
  }
}

ImageStatus LoadFile(const char* path, Decoder decode, CDib& image) {
  const ImageStatus status = ReadAndDecode(path, decode, image);
  if (status != ImageStatus::kOk) image.Destroy();
  return status;
}

}  // namespace

ImageStatus LoadBmpFile(const std::string& path, CDib& image) {
  return LoadFile(path.c_str(), DecodeBmp, image);
}

ImageStatus LoadTgaFile(const std::string& path, CDib& image) {
  return LoadFile(path.c_str(), DecodeTga, image);
}

bool CDib::LoadBmp(const char* path) {
  return LoadFile(path, DecodeBmp, *this) == ImageStatus::kOk;
}

bool CDib::LoadTga(const char* path) {
  return ReadAndDecode(path, DecodeTga, *this) == ImageStatus::kOk;
}

}  // namespace quillon
