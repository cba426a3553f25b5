// Windows side of the fuzz targets' silence: standard output goes to the null device.
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  if (std::freopen("NUL", "w", stdout) == nullptr) std::abort();
  return 0;
}
