#include "util/po_catalogue.h"

#include <algorithm>
#include <cstring>

#include "util/utf8.h"

namespace quillon {

namespace {

constexpr uint8_t kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

enum class Field { kNone, kContext, kId, kPlural, kStr, kOtherStr };

// The entry being read and the field a continuation line adds to.
struct EntryReader {
  PoEntry entry;
  Field last = Field::kNone;
  bool has_id = false;
  bool has_str = false;
};

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsSpace(text[begin])) ++begin;
  while (end > begin && IsSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char SimpleEscape(char c) {
  switch (c) {
    case 'n': return '\n';
    case 't': return '\t';
    case 'r': return '\r';
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'v': return '\v';
    case '"': return '"';
    case '\\': return '\\';
    case '\'': return '\'';
    case '?': return '?';
    default: return 0;
  }
}

// The escape sequence after the backslash at `at`, appended to `out`; `at` moves past it.
bool TakeEscape(const std::string& line, size_t& at, std::string& out) {
  if (++at >= line.size()) return false;
  const char c = line[at];
  if (const char simple = SimpleEscape(c)) {
    out += simple;
    ++at;
    return true;
  }
  unsigned value = 0;
  if (c >= '0' && c <= '7') {
    for (int digits = 0; digits < 3 && at < line.size() && line[at] >= '0' && line[at] <= '7';
         ++digits) {
      value = value * 8 + static_cast<unsigned>(line[at++] - '0');
    }
  } else if (c == 'x') {
    ++at;
    int digits = 0;
    for (; at < line.size() && HexValue(line[at]) >= 0; ++at, ++digits) {
      value = (value * 16 + static_cast<unsigned>(HexValue(line[at]))) & 0xFFFF;
    }
    if (digits == 0) return false;
  } else {
    return false;
  }
  if (value > 0xFF) return false;
  out += static_cast<char>(value);
  return true;
}

// The quoted string that `rest` holds, escapes resolved; nothing but spaces may follow it.
bool ReadQuoted(const std::string& rest, std::string& out) {
  const std::string text = Trim(rest);
  if (text.size() < 2 || text.front() != '"' || text.back() != '"') return false;
  size_t at = 1;
  const size_t end = text.size() - 1;
  while (at < end) {
    if (text[at] == '"') return false;
    if (text[at] != '\\') {
      out += text[at++];
    } else if (!TakeEscape(text, at, out) || at > end) {
      return false;
    }
  }
  return true;
}

void Finish(EntryReader& reader, std::vector<PoEntry>& entries) {
  if (reader.has_id) entries.push_back(std::move(reader.entry));
  reader = EntryReader();
}

// A keyword line ("msgid ...") or a continuation line ("..."), `obsolete` when it came after #~.
bool ReadKeywordLine(const std::string& line, bool obsolete, uint32_t number,
                     EntryReader& reader, std::vector<PoEntry>& entries) {
  const auto starts = [&](const char* keyword) {
    const size_t length = std::strlen(keyword);
    return line.compare(0, length, keyword) == 0 && line.size() > length &&
           (IsSpace(line[length]) || line[length] == '"');
  };
  std::string* target = nullptr;
  size_t skip = 0;
  if (line[0] == '"') {
    if (reader.last == Field::kNone) return false;
  } else if (starts("msgctxt")) {
    if (reader.has_str) Finish(reader, entries);
    if (reader.has_id || reader.entry.has_context) return false;
    reader.entry.has_context = true;
    reader.last = Field::kContext;
    skip = 7;
  } else if (starts("msgid_plural")) {
    if (!reader.has_id || reader.has_str || reader.entry.plural) return false;
    reader.entry.plural = true;
    reader.last = Field::kPlural;
    skip = 12;
  } else if (starts("msgid")) {
    if (reader.has_str) Finish(reader, entries);
    if (reader.has_id) return false;
    reader.has_id = true;
    reader.entry.line = number;
    reader.last = Field::kId;
    skip = 5;
  } else if (line.compare(0, 6, "msgstr") == 0) {
    if (!reader.has_id) return false;
    size_t at = 6;
    bool first = true;
    if (at < line.size() && line[at] == '[') {
      const size_t close = line.find(']', at);
      if (!reader.entry.plural || close == std::string::npos || close == at + 1) return false;
      const std::string index = line.substr(at + 1, close - at - 1);
      if (index.find_first_not_of("0123456789") != std::string::npos) return false;
      first = index.find_first_not_of('0') == std::string::npos;
      at = close + 1;
    } else if (reader.entry.plural || reader.has_str) {
      return false;
    }
    if (at >= line.size() || (!IsSpace(line[at]) && line[at] != '"')) return false;
    reader.has_str = true;
    reader.last = first ? Field::kStr : Field::kOtherStr;
    skip = at;
  } else {
    return false;
  }
  reader.entry.obsolete = reader.entry.obsolete || obsolete;
  std::string text;
  if (!ReadQuoted(line.substr(skip), text)) return false;
  switch (reader.last) {
    case Field::kContext: target = &reader.entry.context; break;
    case Field::kId: target = &reader.entry.id; break;
    case Field::kStr: target = &reader.entry.str; break;
    case Field::kNone:
    case Field::kPlural:
    case Field::kOtherStr: break;
  }
  if (target != nullptr) *target += text;
  if ((reader.last == Field::kStr || reader.last == Field::kOtherStr) && !text.empty()) {
    reader.entry.translated = true;
  }
  return true;
}

void ReadFlags(const std::string& text, PoEntry& entry) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string flag = Trim(text.substr(start, end - start));
    if (!flag.empty()) entry.flags.push_back(flag);
    start = end + 1;
  }
}

// A line that starts with '#'.
bool ReadCommentLine(const std::string& line, uint32_t number, EntryReader& reader,
                     std::vector<PoEntry>& entries) {
  const char kind = line.size() > 1 ? line[1] : ' ';
  if (kind == '~') {
    const std::string rest = Trim(line.substr(2));
    // "#~|": the previous msgid of an obsolete entry, a comment.
    if (rest.empty() || rest[0] == '|') return true;
    return ReadKeywordLine(rest, true, number, reader, entries);
  }
  if (reader.has_str) Finish(reader, entries);
  if (kind == '.') reader.entry.comments.push_back(Trim(line.substr(2)));
  if (kind == ',') ReadFlags(line.substr(2), reader.entry);
  return true;
}

bool ReadLine(const std::string& raw, uint32_t number, EntryReader& reader,
              std::vector<PoEntry>& entries) {
  const std::string line = Trim(raw);
  if (line.empty()) return true;
  if (line[0] == '#') return ReadCommentLine(line, number, reader, entries);
  return ReadKeywordLine(line, false, number, reader, entries);
}

bool AllUtf8(const std::vector<PoEntry>& entries) {
  const auto utf8 = [](const std::string& text) {
    return IsUtf8(ByteReader(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
  };
  return std::all_of(entries.begin(), entries.end(), [&](const PoEntry& entry) {
    return utf8(entry.context) && utf8(entry.id) && utf8(entry.str);
  });
}

void AppendEscaped(const std::string& text, std::string& out) {
  for (const char c : text) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
          const unsigned value = static_cast<unsigned char>(c);
          out += '\\';
          out += static_cast<char>('0' + (value >> 6));
          out += static_cast<char>('0' + (value >> 3 & 7));
          out += static_cast<char>('0' + (value & 7));
        } else {
          out += c;
        }
    }
  }
}

// `keyword "text"`, or, for a text of several lines, `keyword ""` and a line per line of it,
// as gettext's tools write them.
void AppendField(const char* keyword, const std::string& text, std::string& out) {
  out += keyword;
  const size_t line_end = text.find('\n');
  if (line_end == std::string::npos || line_end + 1 == text.size()) {
    out += " \"";
    AppendEscaped(text, out);
    out += "\"\n";
    return;
  }
  out += " \"\"\n";
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    end = end == std::string::npos ? text.size() : end + 1;
    out += '"';
    AppendEscaped(text.substr(start, end - start), out);
    out += "\"\n";
    start = end;
  }
}

}  // namespace

bool PoEntry::HasFlag(const char* flag) const {
  return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

PoStatus ReadPoCatalogue(const ByteReader& file, std::vector<PoEntry>& entries,
                         uint32_t& bad_line) {
  if (!IsUtf8(file)) return PoStatus::kNotUtf8;
  size_t at = file.Matches(0, kByteOrderMark, sizeof kByteOrderMark) ? sizeof kByteOrderMark : 0;
  const char* text = reinterpret_cast<const char*>(file.data());
  EntryReader reader;
  uint32_t number = 0;
  while (at < file.size()) {
    const char* end = static_cast<const char*>(std::memchr(text + at, '\n', file.size() - at));
    const size_t line_end = end != nullptr ? static_cast<size_t>(end - text) : file.size();
    std::string line(text + at, line_end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++number;
    if (!ReadLine(line, number, reader, entries)) {
      bad_line = number;
      return PoStatus::kSyntax;
    }
    at = line_end + 1;
  }
  // An entry cut short: a msgid without its msgstr, or a msgctxt alone.
  if ((reader.has_id && !reader.has_str) || (!reader.has_id && reader.entry.has_context)) {
    bad_line = number;
    return PoStatus::kSyntax;
  }
  Finish(reader, entries);
  return AllUtf8(entries) ? PoStatus::kOk : PoStatus::kNotUtf8;
}

std::string WritePoCatalogue(const std::vector<PoEntry>& entries) {
  std::string out;
  for (const PoEntry& entry : entries) {
    if (!out.empty()) out += '\n';
    for (const std::string& comment : entry.comments) out += "#. " + comment + "\n";
    if (!entry.flags.empty()) {
      out += "#";
      for (const std::string& flag : entry.flags) out += ", " + flag;
      out += '\n';
    }
    if (entry.has_context) AppendField("msgctxt", entry.context, out);
    AppendField("msgid", entry.id, out);
    AppendField("msgstr", entry.str, out);
  }
  return out;
}

bool PoHeaderField(const std::string& header, const std::string& name, std::string& value) {
  size_t start = 0;
  while (start < header.size()) {
    size_t end = header.find('\n', start);
    if (end == std::string::npos) end = header.size();
    const std::string line = header.substr(start, end - start);
    const size_t colon = line.find(':');
    if (colon != std::string::npos && Trim(line.substr(0, colon)) == name) {
      value = Trim(line.substr(colon + 1));
      return true;
    }
    start = end + 1;
  }
  return false;
}

}  // namespace quillon
