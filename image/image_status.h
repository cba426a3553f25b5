#pragma once
// Why an image file could not be used: every loader and decoder answers with one of these, so
// that a refused replacement image can be told from a missing one.

namespace quillon {

enum class ImageStatus {
  kOk,
  kMissing,                 // no such file, or it cannot be opened: the run says nothing
  kCannotRead,              // it opened but could not be read whole
  kTruncated,               // the bytes end before what the headers announce
  kBadSignature,            // a BMP without "BM" in front
  kBmpNotTga,               // a TGA file that is a BMP ("BM" in front, which no TGA has)
  kBadHeader,               // header fields that contradict each other or the file's layout
  kUnsupportedHeader,       // a header this reader does not know (OS/2 BMP, ...)
  kUnsupportedCompression,  // packed pixels other than run-length ones at 8 and 4 bits
  kUnsupportedDepth,        // a bit count without pixel access, or not allowed for the type
  kUnsupportedType,         // a TGA image type other than 1 and 2
  kEmptyImage,              // no pixels at all
  kTooLarge,                // sizes beyond what an image can address
  kOutOfMemory,
};

// Short lower-case text for the log line "Cannot use file %s: %s!!!\n".
const char* DescribeImageStatus(ImageStatus status);

}  // namespace quillon
