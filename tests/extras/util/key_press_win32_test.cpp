#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "extras/util/key_press.h"

namespace quillon {
namespace {

// True when WaitForKeyPress, with `input` as standard input, returns within a few seconds.
bool ReturnsAtOnceWithInput(HANDLE input) {
  const HANDLE saved = GetStdHandle(STD_INPUT_HANDLE);
  SetStdHandle(STD_INPUT_HANDLE, input);
  std::packaged_task<void()> wait(WaitForKeyPress);
  std::future<void> done = wait.get_future();
  std::thread waiter(std::move(wait));
  const bool returned = done.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
  // A waiter that returned is joined: under Wine, a thread started while the previous one is
  // still ending can hang before it runs. One still blocked is left behind, and the test fails.
  if (returned) {
    waiter.join();
  } else {
    waiter.detach();
  }
  SetStdHandle(STD_INPUT_HANDLE, saved);
  return returned;
}

TEST(KeyPressTest, NeverWaitsWithoutAConsole) {
  const HANDLE null_input =
      CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(null_input, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(ReturnsAtOnceWithInput(null_input));
  CloseHandle(null_input);

  HANDLE read_end = nullptr, write_end = nullptr;
  // Open for writing but never written: a read would block.
  ASSERT_NE(CreatePipe(&read_end, &write_end, nullptr, 0), 0);
  EXPECT_TRUE(ReturnsAtOnceWithInput(read_end));
  CloseHandle(read_end);
  CloseHandle(write_end);
}

}  // namespace
}  // namespace quillon
