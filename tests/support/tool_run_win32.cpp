// Windows side of tool_run.h: CreateProcessA with a pipe for standard output and the null
// device as standard input, so that the program sees no console on either.
#include <windows.h>

#include "tests/support/tool_run.h"

namespace quillon::test {

namespace {

// Closes the handle when it goes out of scope.
struct OwnedHandle {
  HANDLE handle = nullptr;
  ~OwnedHandle() {
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

// One argument quoted so that the C runtime's parser gives it back unchanged: backslashes are
// literal except before a quote, where they pair up.
std::string QuoteArgument(const std::string& arg) {
  std::string quoted = "\"";
  size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + "\"";
}

std::string CommandLine(const std::string& program, const std::vector<std::string>& args) {
  std::string line = QuoteArgument(program);
  for (const std::string& arg : args) line += " " + QuoteArgument(arg);
  return line;
}

std::string ReadAll(HANDLE pipe) {
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) != 0 && got > 0) {
    bytes.append(buffer, got);
  }
  return bytes;
}

}  // namespace

RunResult RunProgram(const std::string& program, const std::string& folder,
                     const std::vector<std::string>& args, uint64_t file_size_limit,
                     uint64_t address_space_limit) {
  RunResult result;
  // Windows has no per-process file-size or address-space limit; a test that needs one is
  // POSIX-only.
  if (file_size_limit != kNoFileSizeLimit || address_space_limit != kNoAddressSpaceLimit) {
    return result;
  }
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  OwnedHandle read_end, write_end, null_input;
  if (CreatePipe(&read_end.handle, &write_end.handle, &inherit, 0) == 0) return result;
  SetHandleInformation(read_end.handle, HANDLE_FLAG_INHERIT, 0);
  null_input.handle = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null_input.handle;
  startup.hStdOutput = write_end.handle;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  std::string command = CommandLine(program, args);
  // Under Wine on a loaded machine a process now and then fails to start (1 test in a few
  // hundred); a few more tries tell that apart from a program that cannot be started at all.
  constexpr int kStartTries = 4;
  for (int tries = 1; CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                     folder.c_str(), &startup, &process) == 0;
       ++tries) {
    if (tries == kStartTries) return result;
    Sleep(250);
  }
  OwnedHandle process_handle{process.hProcess}, thread_handle{process.hThread};
  // Only the child may hold the write end now, so the read ends when the child does.
  CloseHandle(write_end.handle);
  write_end.handle = nullptr;
  result.output = ReadAll(read_end.handle);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  if (GetExitCodeProcess(process.hProcess, &code) != 0) result.exit_code = static_cast<int>(code);
  return result;
}

std::string PrintedText(const std::string& text) {
  std::string printed;
  for (const char c : text) {
    if (c == '\n') printed += '\r';
    printed += c;
  }
  return printed;
}

}  // namespace quillon::test
