#include "extras/util/key_press.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace quillon {
namespace {

// Runs WaitForKeyPress in a child whose standard input is `input`; a child that still waits
// after a few seconds is ended by its alarm.
pid_t WaitInChild(int input) {
  std::fflush(stdout);
  const pid_t child = fork();
  if (child == 0) {
    dup2(input, STDIN_FILENO);
    alarm(5);
    WaitForKeyPress();
    _exit(0);
  }
  return child;
}

bool ExitedCleanly(pid_t child) {
  int status = 0;
  return waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(KeyPressTest, NeverWaitsWithoutATerminal) {
  const int null_input = open("/dev/null", O_RDONLY);
  ASSERT_GE(null_input, 0);
  EXPECT_TRUE(ExitedCleanly(WaitInChild(null_input)));
  close(null_input);

  int idle_pipe[2];
  ASSERT_EQ(pipe(idle_pipe), 0);  // open for writing but never written: a read would block
  EXPECT_TRUE(ExitedCleanly(WaitInChild(idle_pipe[0])));
  close(idle_pipe[0]);
  close(idle_pipe[1]);
}

// Linux reports the terminal side's modes through the controlling side as well.
bool EchoIsOff(int master) {
  termios modes{};
  return tcgetattr(master, &modes) == 0 && (modes.c_lflag & ECHO) == 0;
}

TEST(KeyPressTest, ReadsOneKeyWithoutEchoOnATerminal) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const int terminal = open(ptsname(master), O_RDWR | O_NOCTTY);
  ASSERT_GE(terminal, 0);

  const pid_t child = WaitInChild(terminal);
  for (int tries = 0; tries < 500 && !EchoIsOff(master); ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ASSERT_TRUE(EchoIsOff(master));
  EXPECT_EQ(waitpid(child, nullptr, WNOHANG), 0) << "returned before any key";
  ASSERT_EQ(write(master, "k", 1), 1);
  EXPECT_TRUE(ExitedCleanly(child));

  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  char echoed = 0;
  EXPECT_EQ(read(master, &echoed, 1), -1) << "echoed " << echoed;
  EXPECT_EQ(errno, EAGAIN);
  termios restored{};
  ASSERT_EQ(tcgetattr(master, &restored), 0);
  EXPECT_NE(restored.c_lflag & ECHO, 0u);
  EXPECT_NE(restored.c_lflag & ICANON, 0u);
  close(terminal);
  close(master);
}

}  // namespace
}  // namespace quillon
