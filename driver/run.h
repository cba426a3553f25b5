#pragma once
// One whole run, from the command line to the re-laid movie.

namespace quillon {

// Returns the exit code of a run that did not end through FatalError: 0, or 1 for a wrong
// argument count.
int RunQuillon(int argc, char** argv);

}  // namespace quillon
