#include "driver/manifest.h"


namespace quillon {

namespace {

constexpr char kHeader[] =
    "kind,entry index,type,cast number,member entry index,width,height,depth,palette,file,note,"
    "code page";
constexpr char kLineEnd[] = "\r\n";

std::string Number(const std::optional<uint32_t>& value) {
  return value ? std::to_string(*value) : std::string();
}

}  // namespace

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string FormatManifest(const std::vector<ManifestRow>& rows) {
  std::string csv = std::string(kHeader) + kLineEnd;
  for (const ManifestRow& row : rows) {
    const std::string fields[] = {row.kind, std::to_string(row.entry),
                                  row.type,                   Number(row.cast_number),
                                  Number(row.member_entry),   Number(row.width),
                                  Number(row.height),         Number(row.depth),
                                  row.palette,                row.file,
                                  row.note,                   Number(row.code_page)};
    bool first = true;
    for (const std::string& field : fields) {
      if (!first) csv += ',';
      csv += CsvField(field);
      first = false;
    }
    csv += kLineEnd;
  }
  return csv;
}

}  // namespace quillon
