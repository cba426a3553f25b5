#pragma once
// Process-wide settings the run needs from the operating system.

namespace quillon {

// A write beyond the process's file-size limit fails like one on a full disk, instead of
// ending the process and leaving a half-written temporary file behind.
void ReportOversizedWritesAsErrors();

}  // namespace quillon
