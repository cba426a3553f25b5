#pragma once
// Where the export puts what it makes: files inside FilesDir, each written atomically under its
// final name, and the manifest rows that describe them.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/manifest.h"

namespace quillon {

class ExportWriter {
 public:
  // Files are named after `stem`; `input_path` is the movie's stored path, which no file of
  // the export may replace.
  ExportWriter(std::string files_dir, std::string stem, std::string input_path)
      : files_dir_(std::move(files_dir)),
        stem_(std::move(stem)),
        input_path_(std::move(input_path)) {}

  const std::string& stem() const { return stem_; }

  // Writes `name` (which may lead into a subfolder, created as needed) with a progress line.
  // False, and every later write skipped, once a write has failed.
  bool WriteFile(const std::string& name, const uint8_t* data, size_t size);
  bool WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    return WriteFile(name, bytes.data(), bytes.size());
  }
  // True when this export has written a file of that name.
  bool Wrote(const std::string& name) const { return names_.count(name) != 0; }

  void AddRow(ManifestRow row) { rows_.push_back(std::move(row)); }
  const std::vector<ManifestRow>& rows() const { return rows_; }

  bool failed() const { return !failed_path_.empty(); }
  const std::string& failed_path() const { return failed_path_; }

 private:
  std::string files_dir_;
  std::string stem_;
  std::string input_path_;
  std::set<std::string> names_;
  std::vector<ManifestRow> rows_;
  std::string failed_path_;
};

}  // namespace quillon
