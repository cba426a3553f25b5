// Windows side of key_press.h: one key from the console, without echo.
#include <conio.h>
#include <windows.h>

#include "extras/util/key_press.h"

namespace quillon {

void WaitForKeyPress() {
  DWORD mode = 0;
  // Redirected input (a file, a pipe, nothing) is no console: never wait on it.
  if (GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) == 0) return;
  (void)_getch();
}

}  // namespace quillon
