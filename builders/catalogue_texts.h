#pragma once
// The texts of a movie as its translation catalogue holds them: the context that names each
// text's chunk ("Lscr 17 #0", "STXT 12", entry indices in decimal), the msgid made of the
// movie's bytes, and a translation's UTF-8 turned back into the movie's bytes. CR, Director's
// line break, is "\n" in the catalogue. A text with several style runs carries a marker {N}
// where run N (from 2, counting from 1) starts, and its own braces doubled.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "builders/stxt.h"
#include "util/byte_reader.h"
#include "util/code_page.h"

namespace quillon {

inline constexpr char kMarkerFlag[] = "python-brace-format";

std::string LiteralContext(uint32_t entry, uint32_t literal);
std::string TextContext(uint32_t entry);

// What a context names; false for a context of another form.
struct CatalogueContext {
  std::string type;  // "Lscr" or "STXT"
  uint32_t entry = 0;
  uint32_t literal = 0;  // Lscr only
};
bool ParseContext(const std::string& context, CatalogueContext& parsed);

// The msgid of a literal's bytes; false when a byte stands for no character of the code page.
bool LiteralMsgid(const ByteReader& text, CodePage& code_page, std::string& msgid);
// The msgid of an STXT chunk's text, with markers when it has several runs; false as above or
// when a run starts inside a character.
bool TextMsgid(const StxtChunk& stxt, CodePage& code_page, std::string& msgid);
// True when the text's msgid carries markers.
inline bool HasMarkers(const StxtChunk& stxt) { return stxt.run_count > 1; }

enum class MsgstrStatus { kOk, kUnmappable, kMarkerTwice, kMarkerNamesNoRun };

// A translation in the code page's bytes, each line end (LF, CR LF, CR) as CR. With `run_count`
// above 1 its markers are taken out and `starts[N - 1]` is where run N starts (run 1 at 0,
// runs without a marker unset). On a failure `value` is the character or the marker's number.
struct EncodedMsgstr {
  EncodedText text;
  std::vector<std::optional<uint32_t>> starts;
};
MsgstrStatus EncodeMsgstr(const std::string& msgstr, uint16_t run_count, CodePage& code_page,
                          EncodedMsgstr& encoded, uint32_t& value);

// The reason for a status other than kOk, e.g. "marker {3} twice".
std::string DescribeMsgstrStatus(MsgstrStatus status, uint32_t value, uint32_t code_page);

}  // namespace quillon
