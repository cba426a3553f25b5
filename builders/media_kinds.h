#pragma once
// The kinds of cast media the tool rebuilds and exports, one row each: which owned chunks are
// its own, its word for a collision, its rows in the manifest, and its import and export steps.
// The run's cast pass and the export both go through this table; a new kind is a new row and
// the functions it names.

#include <functional>

#include "builders/build_context.h"
#include "builders/cast_media.h"
#include "builders/manifest_row.h"
#include "builders/media_export.h"

namespace quillon {

class CastTables;
class MovieView;

struct MediaKind {
  const char* type;  // the type a key entry names that selects the kind, e.g. "BITD"
  // Whether the owned chunk is the kind's own; a kind that reads its member puts what it needs
  // of it into media.member here. Null: every chunk of its type is.
  bool (*accepts)(const MovieView& movie, CastMedia& media);
  const char* collision;      // the log's word for a chunk it displaces: "Frames collision 2!"
  const char* manifest_name;  // the kind column of its rows, e.g. "bitmap"
  const char* counted_as;     // how the export's closing line counts its files: "bitmaps"
  // Rebuilds the chunk from its file in FilesDir, when there is one.
  void (*import)(const BuildContext& context, const CastMedia& media, ImportedChunk& imported);
  // The file that stands for the chunk, and the facts of its row.
  void (*export_file)(const ExportContext& context, const CastMedia& media, ManifestRow& row,
                      ExportedFile& file);
};

// Every kind, in no particular order: a key entry's tag selects at most one.
const MediaKind* MediaKindsBegin();
const MediaKind* MediaKindsEnd();

// The kind whose key entries name `type` ("BITD"); null for none.
const MediaKind* FindMediaKind(const char* type);

// Every chunk a member owns that is of a media kind, member by member, in the tables' order.
void ForEachCastMedia(const CastTables& tables,
                      const std::function<void(const MediaKind&, const CastMedia&)>& visit);

// The run's cast pass: each owned chunk's import step, in order, and the chunk it made stored.
// A step that runs out of memory leaves the chunk as it was, with its file logged as "out of
// memory".
void ImportCastMedia(const BuildContext& context);
// One owned chunk through its kind's import step, as the cast pass runs it.
void ImportMedia(const BuildContext& context, const MediaKind& kind, const CastMedia& media);

}  // namespace quillon
