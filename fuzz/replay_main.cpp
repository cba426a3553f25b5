// Replays every file of the folders given on the command line (seeds, and inputs that once
// failed) through the fuzz target, so that ordinary test runs exercise the same inputs without
// libFuzzer. Standard output is silenced as under libFuzzer, so the count goes to standard error.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  LLVMFuzzerInitialize(&argc, &argv);
  size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(argv[i], error)) {
      if (!entry.is_regular_file()) continue;
      std::ifstream in(entry.path(), std::ios::binary);
      const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                       std::istreambuf_iterator<char>());
      LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
      ++replayed;
    }
  }
  // Every target also gets the empty input.
  LLVMFuzzerTestOneInput(nullptr, 0);
  std::fprintf(stderr, "replayed %zu input files\n", replayed);
  return replayed == 0 ? 1 : 0;
}
