// POSIX side of process.h.
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "util/process.h"

namespace quillon {

namespace {

// Given no buffer, the C library keeps its own small one whatever size is asked for.
char g_output_buffer[size_t{1} << 16];

}  // namespace

void ReportOversizedWritesAsErrors() { std::signal(SIGXFSZ, SIG_IGN); }

void BufferRedirectedOutput() {
  if (isatty(STDOUT_FILENO) != 0) return;
  std::setvbuf(stdout, g_output_buffer, _IOFBF, sizeof g_output_buffer);
}

}  // namespace quillon
