// What process.h sets up the same way on every platform.
#include "util/process.h"

#include <cstdio>

#include "util/console.h"

namespace quillon {

namespace {

// Given no buffer, the C library keeps its own small one whatever size is asked for.
char g_output_buffer[size_t{1} << 16];

}  // namespace

void BufferRedirectedOutput() {
  if (StandardOutputIsConsole()) return;
  std::setvbuf(stdout, g_output_buffer, _IOFBF, sizeof g_output_buffer);
}

}  // namespace quillon
