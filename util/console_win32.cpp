// Windows side of console.h: console text attributes on standard output.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "util/console.h"

namespace quillon {

namespace {

// The console behind standard output, or null when it is redirected to a file or a pipe, where
// attributes mean nothing and the texts alone must arrive.
HANDLE ColourConsole() {
  static const HANDLE console = StandardOutputIsConsole() && std::getenv("NO_COLOR") == nullptr
                                    ? GetStdHandle(STD_OUTPUT_HANDLE)
                                    : nullptr;
  return console;
}

}  // namespace

bool StandardOutputIsConsole() {
  const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

void SetConsoleColor(ConsoleColor color) {
  const HANDLE console = ColourConsole();
  if (console == nullptr) return;
  // The attribute applies to what reaches the console after it, so the text before goes first.
  std::fflush(stdout);
  SetConsoleTextAttribute(console, static_cast<WORD>(color));
}

}  // namespace quillon
