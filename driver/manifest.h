#pragma once
// The export's manifest: one CSV row per file written and per member passed over, so that a
// user can see which file stands for which entry, member, size, depth and palette.

#include <string>
#include <vector>

#include "builders/manifest_row.h"

namespace quillon {

// The field quoted when it holds a comma, a double quote or a line break, quotes doubled.
std::string CsvField(const std::string& text);

// The header line and one line per row, each ended by "\r\n" as CSV files end their lines.
std::string FormatManifest(const std::vector<ManifestRow>& rows);

}  // namespace quillon
