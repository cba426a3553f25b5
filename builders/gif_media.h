#pragma once
// GIF media of a cast member: an XMED chunk whose data is a GIF image, exported as
// "<stem>-<cast number>.gif" and replaced whole by that file.

#include <cstdint>

#include "builders/build_context.h"
#include "builders/cast_media.h"
#include "builders/manifest_row.h"
#include "builders/media_export.h"

namespace quillon {

class MovieView;

// True when the chunk's data begins with "GIF89a" (six bytes read, within the file).
bool HoldsGif89a(const MovieView& movie, uint32_t child);
// The kind's test of an owned XMED chunk: it holds a GIF.
bool AcceptsGif89a(const MovieView& movie, CastMedia& media);

// Looks for "<stem>-<cast number>.gif" and, when it can be read whole, makes it the data of a
// new XMED chunk for the owned chunk.
void SubstituteGif(const BuildContext& context, const CastMedia& media, ImportedChunk& imported);

// The XMED data as it stands.
void ExportGif(const ExportContext& context, const CastMedia& media, ManifestRow& row,
               ExportedFile& file);

}  // namespace quillon
