#pragma once
// The console side of what the programs tell their user: the progress line, the once-per-run
// assertion warning, coloured messages and fatal messages. Only the program entries and their
// report sink call these.

#include <cstdint>
#include <cstdio>
#include <string>

#include "util/console.h"
#include "util/printf_format.h"

namespace quillon {

// Blanks the current console line, leaving the cursor at its start.
void ClearProgressLine();

// Blanks the current console line and shows "Processing <path>..." on it, shortening long paths
// to their first 29 and last 32 characters. The cursor stays at the start of the line.
void ShowProgress(const std::string& path);

// Prints "Error in assertion!!!\n" the first time it is called with false in this process.
void CheckAssertion(bool condition);

// The text in `color`, then the normal colour again.
void PrintInColor(ConsoleColor color, const char* text);

// A fatal message: red, formatted, then the normal colour again. The caller ends the program
// with exit code 1.
void PrintFatal(const char* format, ...) QUILLON_PRINTF(1, 2);

}  // namespace quillon
