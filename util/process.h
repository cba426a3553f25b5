#pragma once
// Process-wide settings the run needs from the operating system.

namespace quillon {

// A write beyond the process's file-size limit fails like one on a full disk, instead of
// ending the process and leaving a half-written temporary file behind.
void ReportOversizedWritesAsErrors();

// Standard output redirected to a file or a pipe is written in large blocks: a run prints a
// progress line for every entry, and a batch of movies should not pay a write for each few.
// A console keeps its usual buffering. Call before anything is printed.
void BufferRedirectedOutput();

}  // namespace quillon
