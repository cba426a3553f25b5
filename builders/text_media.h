#pragma once
// The text of a field or button member: its STXT chunk, exported as "<stem>-<cast number>.txt"
// (UTF-8, text_file.h) and rebuilt from that file in the run's code page, the chunk's style runs
// kept. Only a member's first STXT child has a file; the others keep their chunks.

#include "builders/build_context.h"
#include "builders/cast_media.h"
#include "builders/manifest_row.h"
#include "builders/media_export.h"

namespace quillon {

// Logs "Cast ...: STXT=" with the length of the text that goes out, or "unreadable!!!"; with a
// readable chunk and its file, rebuilds the chunk from the file, which is logged with its
// reason when it cannot be used.
void BuildTextChunk(const BuildContext& context, const CastMedia& media, ImportedChunk& imported);

// The text file, when the run would rebuild the chunk from it byte for byte; else the row's
// note says why not, and the chunk goes out raw.
void ExportText(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                ExportedFile& file);

}  // namespace quillon
