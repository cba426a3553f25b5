#include "image/image_status.h"

namespace quillon {

const char* DescribeImageStatus(ImageStatus status) {
  switch (status) {
    case ImageStatus::kOk: return "ok";
    case ImageStatus::kMissing: return "missing";
    case ImageStatus::kCannotRead: return "cannot read it whole";
    case ImageStatus::kTruncated: return "truncated";
    case ImageStatus::kBadSignature: return "no BMP signature (a PNG? save as BMP)";
    case ImageStatus::kBmpNotTga: return "a BMP file, not a TGA";
    case ImageStatus::kBadHeader: return "inconsistent header";
    case ImageStatus::kUnsupportedHeader: return "unsupported header";
    case ImageStatus::kUnsupportedCompression: return "unsupported compression";
    case ImageStatus::kUnsupportedDepth: return "unsupported depth";
    case ImageStatus::kUnsupportedType: return "unsupported image type";
    case ImageStatus::kEmptyImage: return "empty image";
    case ImageStatus::kTooLarge: return "too large";
    case ImageStatus::kOutOfMemory: return "out of memory";
  }
  return "unknown";
}

}  // namespace quillon
