#pragma once
// Runs an executable as a user would, in a folder of its own, and collects what it prints.
// The operating-system side lives in tool_run_<system>.cpp.

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::test {

struct RunResult {
  int exit_code = -1;  // -1 when the program could not be started or did not exit normally
  std::string output;  // standard output
};

inline constexpr uint64_t kNoFileSizeLimit = UINT64_MAX;
inline constexpr uint64_t kNoAddressSpaceLimit = UINT64_MAX;

// Address-space limits do not work under AddressSanitizer, which reserves terabytes up front,
// nor on Windows.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLON_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define QUILLON_ASAN 1
#endif
#if defined(QUILLON_ASAN) || defined(_WIN32)
inline constexpr bool kAddressSpaceLimitsApply = false;
#else
inline constexpr bool kAddressSpaceLimitsApply = true;
#endif

// Runs `program` with `args` (passed as they are, no shell in between) in `folder`.
// `file_size_limit` bytes caps every file the program writes, standing in for a full disk; the
// signal such a limit raises is left at its default, so a program that does not expect it dies.
// `address_space_limit` bytes cap the program's memory, standing in for a machine short of it
// (without effect under AddressSanitizer, which reserves its shadow memory up front).
RunResult RunProgram(const std::string& program, const std::string& folder,
                     const std::vector<std::string>& args,
                     uint64_t file_size_limit = kNoFileSizeLimit,
                     uint64_t address_space_limit = kNoAddressSpaceLimit);

// `text` as the program prints it on this platform: standard output is in text mode, where each
// "\n" becomes CR LF on Windows.
std::string PrintedText(const std::string& text);

}  // namespace quillon::test
