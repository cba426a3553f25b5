#pragma once
// Starting a program as a user's console would, and collecting what it prints.

#include <string>
#include <vector>

namespace quillon::test {

struct ProcessResult {
  int exit_code = -1;  // -1 when the program could not be started
  std::string output;  // standard output, byte for byte
};

// Runs `program` with `args` in `folder`, standard input from the null device (so it is no
// console) and standard output into a pipe.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& folder);

// One command-line argument quoted so that the C runtime's parser gives it back unchanged.
std::string QuoteArgument(const std::string& arg);

}  // namespace quillon::test
