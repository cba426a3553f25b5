// Decodes arbitrary bytes as a TGA file and reads every pixel of whatever image results.
#include "fuzz/image_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return quillon::fuzz::DecodeAndReadAll(quillon::DecodeTga, data, size);
}
