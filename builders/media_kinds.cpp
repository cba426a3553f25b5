#include "builders/media_kinds.h"

#include <cstring>
#include <iterator>
#include <new>
#include <utility>

#include "builders/bitmap_builder.h"
#include "builders/bitmap_export.h"
#include "builders/gif_media.h"
#include "builders/log_lines.h"
#include "builders/sound_media.h"
#include "builders/stxt.h"
#include "builders/text_media.h"
#include "container/bitmap_member.h"
#include "container/cast_members.h"
#include "container/movie.h"

namespace quillon {

namespace {

const MediaKind kMediaKinds[] = {
    {kTypeBitmap, AcceptsBitmapMember, kBitmapCollision, "bitmap", "bitmaps", BuildBitmapChunk,
     ExportBitmap},
    {kTypeAlpha, AcceptsBitmapMember, kBitmapCollision, "alpha", "alpha channels",
     BuildAlphaChunk, ExportAlpha},
    {kTypeMedia, AcceptsGif89a, kGifCollision, "gif", "GIF media", SubstituteGif, ExportGif},
    {kTypeText, nullptr, kTextCollision, "text", "texts", BuildTextChunk, ExportText},
    {kTypeSound, nullptr, kSoundCollision, "sound", "sounds", BuildSoundChunk, ExportSound},
};

const MediaKind* FindKeyedKind(const CastTables::Key& key) {
  for (const MediaKind& kind : kMediaKinds) {
    if (KeyTypeIs(key, kind.type)) return &kind;
  }
  return nullptr;
}

// The owned chunk's kind and what its steps are handed; null when it is of none, or its kind
// does not take it.
const MediaKind* Resolve(const MovieView& movie, const OwnedChunk& owned, CastMedia& media) {
  const MediaKind* kind = FindKeyedKind(owned.key);
  if (kind == nullptr) return nullptr;
  media.cast_number = owned.cast_number;
  media.member_entry = owned.member_entry;
  media.child = owned.key.child;
  if (kind->accepts != nullptr && !kind->accepts(movie, media)) return nullptr;
  return kind;
}

}  // namespace

const MediaKind* FindMediaKind(const char* type) {
  for (const MediaKind& kind : kMediaKinds) {
    if (std::strcmp(kind.type, type) == 0) return &kind;
  }
  return nullptr;
}

const MediaKind* MediaKindsBegin() { return std::begin(kMediaKinds); }
const MediaKind* MediaKindsEnd() { return std::end(kMediaKinds); }

void ForEachCastMedia(const CastTables& tables,
                      const std::function<void(const MediaKind&, const CastMedia&)>& visit) {
  if (tables.movie() == nullptr) return;
  const MovieView& movie = *tables.movie();
  ForEachOwnedChunk(tables, [&](const OwnedChunk& owned) {
    CastMedia media;
    if (const MediaKind* kind = Resolve(movie, owned, media)) visit(*kind, media);
  });
}

void ImportCastMedia(const BuildContext& context) {
  if (context.tables == nullptr) return;
  ForEachCastMedia(*context.tables, [&](const MediaKind& kind, const CastMedia& media) {
    ImportMedia(context, kind, media);
  });
}

void ImportMedia(const BuildContext& context, const MediaKind& kind, const CastMedia& media) {
  ImportedChunk imported;
  try {
    kind.import(context, media, imported);
  } catch (const std::bad_alloc&) {
    // What the step built is released on the way out; the slot keeps what it held.
    if (!imported.file.empty()) context.LogUnusableFile(imported.file, "out of memory");
    return;
  }
  if (imported.unchanged) {
    context.report.CountUnchanged();
  } else if (!imported.chunk.empty()) {
    context.StoreChunk(media.child, std::move(imported.chunk), kind.collision);
  }
}

}  // namespace quillon
