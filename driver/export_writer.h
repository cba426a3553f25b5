#pragma once
// Where the export puts what it makes: files inside FilesDir, each written atomically under its
// final name, and the manifest rows that describe them. A file FilesDir already holds is left
// alone when it has the bytes the export would write, and kept when it has others (a user's
// edit, say), unless the export is told to overwrite such files.

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "driver/manifest.h"
#include "util/reporter.h"

namespace quillon {

class ExportWriter {
 public:
  // Files are named after `stem`; `input_path` is the movie's stored path, which no file of
  // the export may replace; each file is shown through `report`. With `overwrite`, files that
  // differ from the movie are replaced.
  ExportWriter(std::string files_dir, std::string stem, std::string input_path, Reporter& report,
               bool overwrite = false)
      : files_dir_(std::move(files_dir)),
        stem_(std::move(stem)),
        input_path_(std::move(input_path)),
        report_(report),
        overwrite_(overwrite) {}

  const std::string& stem() const { return stem_; }
  const std::string& input_path() const { return input_path_; }

  // Writes `name` (which may lead into a subfolder, created as needed) with a progress line.
  // False, and every later write skipped, once a write has failed.
  bool WriteFile(const std::string& name, const uint8_t* data, size_t size);
  bool WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    return WriteFile(name, bytes.data(), bytes.size());
  }
  // The file a manifest row stands for: written as WriteFile writes it, unless FilesDir holds
  // it already with these bytes (left untouched) or with others (kept, and the row says so).
  // Names it in the row; false when it could not be written.
  bool PutRowFile(const std::string& name, const uint8_t* data, size_t size, ManifestRow& row);
  // True when this export has written or kept a file of that name.
  bool Wrote(const std::string& name) const { return names_.count(name) != 0; }
  // The files kept because they differ from the movie.
  uint32_t kept_count() const { return kept_count_; }

  void AddRow(ManifestRow row) { rows_.push_back(std::move(row)); }
  const std::vector<ManifestRow>& rows() const { return rows_; }

  bool failed() const { return !failed_path_.empty(); }
  const std::string& failed_path() const { return failed_path_; }
  // Why the failed file could not be written.
  const std::string& failed_reason() const { return failed_reason_; }

 private:
  std::string files_dir_;
  std::string stem_;
  std::string input_path_;
  Reporter& report_;
  bool overwrite_;
  uint32_t kept_count_ = 0;
  std::set<std::string> names_;
  std::vector<ManifestRow> rows_;
  std::string failed_path_;
  std::string failed_reason_;
};

}  // namespace quillon
