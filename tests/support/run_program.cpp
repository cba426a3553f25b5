#include "tests/support/run_program.h"

#include <sys/wait.h>
#include <unistd.h>

namespace quillon::test {

ProgramResult RunProgram(const std::string& folder, const std::string& program,
                         const std::vector<std::string>& args) {
  int pipe_ends[2];
  if (pipe(pipe_ends) != 0) return {};
  const pid_t child = fork();
  if (child == 0) {
    dup2(pipe_ends[1], STDOUT_FILENO);
    close(pipe_ends[0]);
    close(pipe_ends[1]);
    if (chdir(folder.c_str()) != 0) _exit(127);
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(pipe_ends[1]);
  ProgramResult result;
  char buffer[4096];
  for (ssize_t n; (n = read(pipe_ends[0], buffer, sizeof buffer)) > 0;) {
    result.output.append(buffer, static_cast<size_t>(n));
  }
  close(pipe_ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace quillon::test
