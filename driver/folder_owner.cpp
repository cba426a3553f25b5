#include "driver/folder_owner.h"

#include <cstdint>
#include <vector>

#include "util/file_io.h"
#include "util/paths.h"

namespace quillon {

namespace {

constexpr char kMovieKind[] = "movie";
constexpr char kMovieNote[] = "the movie these files are of";
// Far beyond the manifest of any movie (a line per chunk); a larger file is no manifest.
constexpr uint64_t kManifestReadLimit = uint64_t{64} << 20;
constexpr size_t kFileColumn = 9;

// The fields of one CSV line, quotes undone; stops at the line's end.
std::vector<std::string> CsvFields(const std::string& text, size_t& at) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (; at < text.size(); ++at) {
    const char c = text[at];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (at + 1 < text.size() && text[at + 1] == '"') {
        fields.back() += '"';
        ++at;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '\n') {
      ++at;
      break;
    } else if (c != '\r') {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace

ManifestRow MovieRow(const std::string& movie_file_name) {
  ManifestRow row;
  row.kind = kMovieKind;
  row.file = movie_file_name;
  row.note = kMovieNote;
  return row;
}

std::string FolderOwner(const std::string& files_dir, const std::string& stem) {
  std::vector<uint8_t> bytes;
  const ReadFileStatus status =
      ReadWholeFile(JoinPath(files_dir, stem + ".csv"), kManifestReadLimit, bytes);
  if (status != ReadFileStatus::kOk) return {};
  const std::string text(bytes.begin(), bytes.end());
  size_t at = 0;
  CsvFields(text, at);  // the header
  const std::vector<std::string> first = CsvFields(text, at);
  if (first.size() <= kFileColumn || first[0] != kMovieKind) return {};
  return first[kFileColumn];
}

bool NamesMatch(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldNameCase(a[i]) != FoldNameCase(b[i])) return false;
  }
  return true;
}

bool OwnedByAnother(const std::string& owner, const std::string& movie_file_name) {
  return !owner.empty() && !NamesMatch(owner, movie_file_name);
}

}  // namespace quillon
