#include "driver/export_catalogue.h"

#include <string>
#include <vector>

#include "builders/catalogue_export.h"
#include "driver/export_writer.h"
#include "util/paths.h"
#include "util/po_catalogue.h"

namespace quillon {

void ExportCatalogue(const CastTables& tables, CodePage& code_page, ExportWriter& writer) {
  std::vector<ManifestRow> notes;
  const std::vector<PoEntry> entries =
      MakeCatalogue(tables, code_page, GetFileName(writer.input_path()), notes);
  const std::string text = WritePoCatalogue(entries);
  // The catalogue is no chunk's file: its row only carries the kept note, if any.
  ManifestRow row;
  writer.PutRowFile(writer.stem() + ".po", reinterpret_cast<const uint8_t*>(text.data()),
                    text.size(), row);
  for (ManifestRow& note : notes) writer.AddRow(std::move(note));
}

}  // namespace quillon
