#include "builders/catalogue_texts.h"

#include <algorithm>
#include <cstdio>

#include "util/utf8.h"

namespace quillon {

namespace {

constexpr char32_t kCr = U'\r';
constexpr char32_t kLf = U'\n';
constexpr size_t kRunSize = 20;

ByteReader Utf8Reader(const std::string& text) {
  return ByteReader(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

// The decoded bytes appended as catalogue text: CR as "\n", braces doubled when `marked`.
bool AppendDecoded(const ByteReader& bytes, CodePage& code_page, bool marked, std::string& out) {
  std::u32string text;
  if (!code_page.Decode(bytes, text)) return false;
  std::vector<uint8_t> utf8;
  for (const char32_t c : text) {
    AppendUtf8(c == kCr ? kLf : c, utf8);
    if (marked && (c == U'{' || c == U'}')) AppendUtf8(c, utf8);
  }
  out.append(utf8.begin(), utf8.end());
  return true;
}

// The number of a marker "{digits}" at `at`, `at` then past it; false for anything else.
bool TakeMarker(const std::string& text, size_t& at, uint32_t& number) {
  size_t end = at + 1;
  uint64_t value = 0;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9' && value <= UINT32_MAX) {
    value = value * 10 + static_cast<uint64_t>(text[end++] - '0');
  }
  if (end == at + 1 || end >= text.size() || text[end] != '}' || value > UINT32_MAX) {
    return false;
  }
  number = static_cast<uint32_t>(value);
  at = end + 1;
  return true;
}

}  // namespace

std::string LiteralContext(uint32_t entry, uint32_t literal) {
  return "Lscr " + std::to_string(entry) + " #" + std::to_string(literal);
}

std::string TextContext(uint32_t entry) { return "STXT " + std::to_string(entry); }

bool ParseContext(const std::string& context, CatalogueContext& parsed) {
  char type[5] = {};
  unsigned long entry = 0;
  unsigned long literal = 0;
  char rest = 0;
  // Written by us in exactly these forms; anything else names nothing.
  if (std::sscanf(context.c_str(), "STXT %lu%c", &entry, &rest) == 1 &&
      context == TextContext(static_cast<uint32_t>(entry))) {
    parsed = {"STXT", static_cast<uint32_t>(entry), 0};
    return true;
  }
  if (std::sscanf(context.c_str(), "%4s %lu #%lu%c", type, &entry, &literal, &rest) == 3 &&
      std::string(type) == "Lscr" && entry <= UINT32_MAX && literal <= UINT32_MAX &&
      context == LiteralContext(static_cast<uint32_t>(entry), static_cast<uint32_t>(literal))) {
    parsed = {"Lscr", static_cast<uint32_t>(entry), static_cast<uint32_t>(literal)};
    return true;
  }
  return false;
}

bool LiteralMsgid(const ByteReader& text, CodePage& code_page, std::string& msgid) {
  msgid.clear();
  return AppendDecoded(text, code_page, false, msgid);
}

bool TextMsgid(const StxtChunk& stxt, CodePage& code_page, std::string& msgid) {
  msgid.clear();
  const bool marked = HasMarkers(stxt);
  std::vector<std::pair<uint32_t, uint32_t>> markers;  // start, number
  for (uint16_t run = 1; marked && run < stxt.run_count; ++run) {
    uint32_t start = 0;
    stxt.runs.U32Be(kRunSize * run, start);
    markers.emplace_back(std::min<uint32_t>(start, static_cast<uint32_t>(stxt.text.size())),
                         run + 1u);
  }
  std::sort(markers.begin(), markers.end());
  uint32_t done = 0;
  for (const auto& [start, number] : markers) {
    if (!AppendDecoded(ByteReader(stxt.text.data() + done, start - done), code_page, true,
                       msgid)) {
      return false;
    }
    msgid += "{" + std::to_string(number) + "}";
    done = start;
  }
  return AppendDecoded(ByteReader(stxt.text.data() + done, stxt.text.size() - done), code_page,
                       marked, msgid);
}

MsgstrStatus EncodeMsgstr(const std::string& msgstr, uint16_t run_count, CodePage& code_page,
                          EncodedMsgstr& encoded, uint32_t& value) {
  const bool marked = run_count > 1;
  encoded.starts.assign(std::max<uint16_t>(run_count, 1), std::nullopt);
  encoded.starts[0] = 0;
  const ByteReader bytes = Utf8Reader(msgstr);
  size_t at = 0;
  char32_t c = 0;
  while (at < msgstr.size()) {
    const char next = at + 1 < msgstr.size() ? msgstr[at + 1] : 0;
    uint32_t number = 0;
    if (marked && msgstr[at] == '{' && next != '{' && TakeMarker(msgstr, at, number)) {
      value = number;
      if (number < 2 || number > run_count) return MsgstrStatus::kMarkerNamesNoRun;
      if (encoded.starts[number - 1]) return MsgstrStatus::kMarkerTwice;
      encoded.starts[number - 1] = static_cast<uint32_t>(encoded.text.bytes.size());
      continue;
    }
    if (!NextUtf8(bytes, at, c)) return MsgstrStatus::kUnmappable;  // read as UTF-8 already
    if (marked && (c == U'{' || c == U'}') && at < msgstr.size() &&
        msgstr[at] == static_cast<char>(c)) {
      ++at;  // a doubled brace is one
    }
    if (c == kCr && at < msgstr.size() && msgstr[at] == '\n') ++at;
    if (c == kLf) c = kCr;
    if (c == 0 || !code_page.Append(c, encoded.text)) {
      value = static_cast<uint32_t>(c);
      return MsgstrStatus::kUnmappable;
    }
  }
  return MsgstrStatus::kOk;
}

std::string DescribeMsgstrStatus(MsgstrStatus status, uint32_t value, uint32_t code_page) {
  char reason[80] = {};
  switch (status) {
    case MsgstrStatus::kUnmappable:
      std::snprintf(reason, sizeof reason, "character U+%04X has no byte in code page %u",
                    value, code_page);
      break;
    case MsgstrStatus::kMarkerTwice:
      std::snprintf(reason, sizeof reason, "marker {%u} twice", value);
      break;
    case MsgstrStatus::kMarkerNamesNoRun:
      std::snprintf(reason, sizeof reason, "marker {%u} names no style run", value);
      break;
    case MsgstrStatus::kOk:
      break;
  }
  return reason;
}

}  // namespace quillon
