#pragma once
// Standard output as a console: whether it is one, and text colours by the console attribute
// numbers the run uses.

namespace quillon {

enum ConsoleColor : int {
  kColorNormal = 7,
  kColorGreen = 10,
  kColorRed = 12,
  kColorYellow = 14,
};

// Whether standard output is a console (a terminal) rather than a file or a pipe.
bool StandardOutputIsConsole();

// Sets the colour of what standard output prints next. Text already printed reaches the console
// first. Without a terminal (or with NO_COLOR set) nothing but the texts themselves is written.
void SetConsoleColor(ConsoleColor color);

}  // namespace quillon
