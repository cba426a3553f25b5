// Loads arbitrary bytes as a BMP file and reads every pixel of whatever image results.
#include "fuzz/image_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  quillon::CDib dib;
  dib.LoadBmp(quillon::fuzz::WriteInput(data, size));
  volatile uint64_t sum = quillon::fuzz::ReadEverything(dib);
  (void)sum;
  return 0;
}
