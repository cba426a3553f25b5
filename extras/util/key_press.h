#pragma once
// Waiting for the user before the process ends on an error they should read.

namespace quillon {

// Reads one key press from standard input without echoing it. Returns at once when standard
// input is not a terminal, so that unattended runs never hang.
void WaitForKeyPress();

}  // namespace quillon
