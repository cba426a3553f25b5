// POSIX side of key_press.h: non-canonical, echo-free terminal mode for one read.
#include <termios.h>
#include <unistd.h>

#include "extras/util/key_press.h"

namespace quillon {

void WaitForKeyPress() {
  if (isatty(STDIN_FILENO) == 0) return;
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) return;
  char key = 0;
  // A failed or interrupted read ends the wait as well; the caller only needs a pause.
  (void)read(STDIN_FILENO, &key, 1);
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

}  // namespace quillon
