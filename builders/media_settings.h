#pragma once
// What the user chose for the media kinds, made once by the program entry and handed down whole
// to every step of the run and of the export. A kind that needs a new choice adds a field here.

namespace quillon {

class CodePage;

struct MediaSettings {
  // The code page that text files are written in; without one they are not looked for.
  CodePage* code_page = nullptr;
  // Whether the user named that code page (--codepage), rather than the movie's kind.
  bool code_page_given = false;
};

}  // namespace quillon
