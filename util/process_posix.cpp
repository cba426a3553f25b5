// POSIX side of process.h.
#include <csignal>

#include "util/process.h"

namespace quillon {

void ReportOversizedWritesAsErrors() { std::signal(SIGXFSZ, SIG_IGN); }

}  // namespace quillon
