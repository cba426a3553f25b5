// Windows side of process.h.
#include "util/process.h"

namespace quillon {

// Windows has no file-size signal: an oversized write already fails like one on a full disk.
void ReportOversizedWritesAsErrors() {}

}  // namespace quillon
