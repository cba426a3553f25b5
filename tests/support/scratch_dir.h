#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it.

#include <string>
#include <vector>

namespace quillon::test {

class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::string& path() const { return path_; }
  // Writes `content` to `relative` (folders along it are created); returns the full path.
  std::string WriteFile(const std::string& relative, const std::string& content) const;
  std::string WriteFile(const std::string& relative,
                        const std::vector<unsigned char>& content) const;
  // The file's bytes; empty when it cannot be read.
  std::string ReadFile(const std::string& relative) const;
  // A text file's lines as the platform's text mode reads them: CR LF becomes "\n" on Windows.
  std::string ReadTextFile(const std::string& relative) const;
  bool Exists(const std::string& relative) const;
  // Names of the entries directly in the folder (or in `relative` below it), sorted.
  std::vector<std::string> ListFiles(const std::string& relative = "") const;

 private:
  std::string path_;
};

// A path in the system's temporary folder, named after `name` alone: a death test's child on
// Windows runs the test again from its start, so only such a name is the same in both.
std::string SharedTempPath(const std::string& name);

}  // namespace quillon::test
