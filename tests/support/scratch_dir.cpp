#include "tests/support/scratch_dir.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace quillon::test {

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
  std::random_device seed;
  for (;;) {
    const fs::path candidate =
        fs::temp_directory_path() / ("quillon-test-" + std::to_string(seed()));
    if (fs::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
  fs::remove_all(path_, ignored);
}

std::string ScratchDir::WriteFile(const std::string& relative, const std::string& content) const {
  const fs::path full = fs::path(path_) / relative;
  fs::create_directories(full.parent_path());
  std::ofstream(full, std::ios::binary | std::ios::trunc) << content;
  return full.string();
}

std::string ScratchDir::WriteFile(const std::string& relative,
                                  const std::vector<unsigned char>& content) const {
  return WriteFile(relative, std::string(content.begin(), content.end()));
}

std::string ScratchDir::ReadFile(const std::string& relative) const {
  std::ifstream in(fs::path(path_) / relative, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ScratchDir::ReadTextFile(const std::string& relative) const {
  std::ifstream in(fs::path(path_) / relative);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ScratchDir::Exists(const std::string& relative) const {
  return fs::exists(fs::path(path_) / relative);
}

std::vector<std::string> ScratchDir::ListFiles(const std::string& relative) const {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(fs::path(path_) / relative, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string SharedTempPath(const std::string& name) {
  return (fs::temp_directory_path() / ("quillon-" + name)).string();
}

}  // namespace quillon::test
