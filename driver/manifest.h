#pragma once
// The export's manifest: one CSV row per file written and per member passed over, so that a
// user can see which file stands for which entry, member, size, depth and palette.

#include <string>
#include <vector>

namespace quillon {

// Every field as it appears in the file; empty where it does not apply.
struct ManifestRow {
  std::string kind;  // "bitmap", "alpha", "gif" or "chunk"
  std::string entry;
  std::string type;
  std::string cast_number;
  std::string member_entry;
  std::string width;
  std::string height;
  std::string depth;
  std::string palette;
  std::string file;  // inside FilesDir; empty when nothing was written
  std::string note;  // why a member was passed over, or what stood in for its palette
};

// The field quoted when it holds a comma, a double quote or a line break, quotes doubled.
std::string CsvField(const std::string& text);

// The header line and one line per row, each ended by "\r\n" as CSV files end their lines.
std::string FormatManifest(const std::vector<ManifestRow>& rows);

}  // namespace quillon
