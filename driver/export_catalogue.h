#pragma once
// The export's translation catalogue "<stem>.po": every string literal of the movie's scripts
// and the text of every STXT chunk, for catalogue tools.

namespace quillon {

class CastTables;
class CodePage;
class ExportWriter;

// Writes the catalogue as the writer writes a member's file (a catalogue FilesDir holds with
// other contents, a translation under way, is kept), with a manifest row for each text left out.
void ExportCatalogue(const CastTables& tables, CodePage& code_page, ExportWriter& writer);

}  // namespace quillon
