// Interim bridge until the byte decoders land: the old loaders behind the status interface.
#include <cstdio>

#include "image/dib.h"
#include "image/image_file.h"

namespace quillon {

namespace {

ImageStatus LoadWith(bool (CDib::*load)(const char*), const std::string& path, CDib& image) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return ImageStatus::kMissing;
  std::fclose(file);
  if ((image.*load)(path.c_str())) return ImageStatus::kOk;
  image.Destroy();
  return ImageStatus::kUnsupportedHeader;
}

}  // namespace

ImageStatus LoadBmpFile(const std::string& path, CDib& image) {
  return LoadWith(&CDib::LoadBmp, path, image);
}
ImageStatus LoadTgaFile(const std::string& path, CDib& image) {
  return LoadWith(&CDib::LoadTga, path, image);
}

}  // namespace quillon
