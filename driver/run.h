#pragma once
// One whole run, from the command line to the re-laid movie.

namespace quillon {

// Returns the run's exit code: 0 when the movie was written, 1 for a wrong argument count or
// after a fatal message.
int RunQuillon(int argc, char** argv);

}  // namespace quillon
