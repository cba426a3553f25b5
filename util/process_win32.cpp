// Windows side of process.h.
#include <windows.h>

#include <cstdio>

#include "util/process.h"

namespace quillon {

namespace {

// Given no buffer, the C library keeps its own small one whatever size is asked for.
char g_output_buffer[size_t{1} << 16];

}  // namespace

// Windows has no file-size signal: an oversized write already fails like one on a full disk.
void ReportOversizedWritesAsErrors() {}

void BufferRedirectedOutput() {
  DWORD mode = 0;
  if (GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0) return;
  std::setvbuf(stdout, g_output_buffer, _IOFBF, sizeof g_output_buffer);
}

}  // namespace quillon
