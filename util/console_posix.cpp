// POSIX side of console.h: ANSI escapes on a terminal.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "util/console.h"

namespace quillon {

namespace {

bool ColoursWanted() {
  static const bool wanted = StandardOutputIsConsole() && std::getenv("NO_COLOR") == nullptr;
  return wanted;
}

const char* AnsiFor(ConsoleColor color) {
  switch (color) {
    case kColorGreen: return "\x1b[92m";
    case kColorRed: return "\x1b[91m";
    case kColorYellow: return "\x1b[93m";
    case kColorNormal: break;
  }
  return "\x1b[0m";
}

}  // namespace

bool StandardOutputIsConsole() { return isatty(STDOUT_FILENO) != 0; }

void SetConsoleColor(ConsoleColor color) {
  if (!ColoursWanted()) return;
  std::fputs(AnsiFor(color), stdout);
  std::fflush(stdout);
}

}  // namespace quillon
