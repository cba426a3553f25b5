#pragma once
// Running one of the tool's executables in a folder, as a user would from a console.

#include <string>
#include <vector>

namespace quillon::test {

struct ProgramResult {
  int exit_code = -1;  // -1 when it did not exit normally
  std::string output;  // standard output
};

ProgramResult RunProgram(const std::string& folder, const std::string& program,
                         const std::vector<std::string>& args);

}  // namespace quillon::test
