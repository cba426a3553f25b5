// POSIX side of tool_run.h: fork, exec and a pipe for standard output.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "tests/support/tool_run.h"

namespace quillon::test {

namespace {

// Only async-signal-safe calls between fork and exec: everything is prepared by the parent.
[[noreturn]] void ExecChild(int output_fd, const char* folder, rlim_t file_size_limit,
                            rlim_t address_space_limit, char* const* argv) {
  dup2(output_fd, STDOUT_FILENO);
  close(output_fd);
  if (chdir(folder) != 0) _exit(127);
  std::signal(SIGXFSZ, SIG_DFL);
  const rlimit limit{file_size_limit, file_size_limit};
  setrlimit(RLIMIT_FSIZE, &limit);
  const rlimit memory{address_space_limit, address_space_limit};
  setrlimit(RLIMIT_AS, &memory);
  execv(argv[0], argv);
  _exit(127);
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      return text;
    }
  }
}

}  // namespace

RunResult RunProgram(const std::string& program, const std::string& folder,
                     const std::vector<std::string>& args, uint64_t file_size_limit,
                     uint64_t address_space_limit) {
  std::vector<char*> argv{const_cast<char*>(program.c_str())};
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  const rlim_t limit =
      file_size_limit == kNoFileSizeLimit ? RLIM_INFINITY : static_cast<rlim_t>(file_size_limit);
  const rlim_t memory = address_space_limit == kNoAddressSpaceLimit
                            ? RLIM_INFINITY
                            : static_cast<rlim_t>(address_space_limit);

  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    ExecChild(pipe_ends[1], folder.c_str(), limit, memory, argv.data());
  }
  close(pipe_ends[1]);
  RunResult result;
  if (child < 0) {
    close(pipe_ends[0]);
    return result;
  }
  result.output = ReadAll(pipe_ends[0]);
  close(pipe_ends[0]);
  int status = 0;
  pid_t waited;
  while ((waited = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
  }
  if (waited == child && WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
  return result;
}

std::string PrintedText(const std::string& text) { return text; }

}  // namespace quillon::test
