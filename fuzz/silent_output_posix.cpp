// POSIX side of the fuzz targets' silence. Every fuzz target runs with standard output going
// nowhere: the tool's progress lines would only slow the fuzzer down and bury its own report
// (which goes to standard error).
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
  return 0;
}
