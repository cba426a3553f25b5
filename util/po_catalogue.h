#pragma once
// gettext PO catalogues, the files translators' catalogue tools read and write: a reader that
// takes what those tools write (every kind of comment, continuation lines, C escapes, CR LF line
// ends, a byte-order mark, obsolete entries) and a writer whose output gettext's msgfmt accepts.
// Texts are UTF-8 in both directions.

#include <cstdint>
#include <string>
#include <vector>

#include "util/byte_reader.h"

namespace quillon {

struct PoEntry {
  bool has_context = false;
  std::string context;
  std::string id;
  std::string str;                         // msgstr, or msgstr[0] of a plural entry
  std::vector<std::string> comments;       // extracted comments ("#."), one line each
  std::vector<std::string> flags;          // "#," flags, e.g. "fuzzy", "python-brace-format"
  bool obsolete = false;                   // "#~"
  bool plural = false;                     // has msgid_plural
  bool translated = false;                 // some msgstr is not empty
  uint32_t line = 0;                       // where the entry's msgid stands

  bool HasFlag(const char* flag) const;
};

enum class PoStatus {
  kOk,
  kNotUtf8,  // the file, or a string once its escapes are resolved, is no well-formed UTF-8
  kSyntax,   // a line that is no part of a catalogue entry
};

// The entries of a catalogue in file order, the header entry (empty msgid) included. On kSyntax
// `bad_line` is the line (from 1) that could not be read. Throws only std::bad_alloc.
PoStatus ReadPoCatalogue(const ByteReader& file, std::vector<PoEntry>& entries,
                         uint32_t& bad_line);

// The catalogue's text: each entry with its comments, flags, msgctxt, msgid and msgstr, a blank
// line between entries, line feeds as line ends.
std::string WritePoCatalogue(const std::vector<PoEntry>& entries);

// The value of a "Name: value" line of a header entry's msgstr; false when it has none.
bool PoHeaderField(const std::string& header, const std::string& name, std::string& value);

}  // namespace quillon
