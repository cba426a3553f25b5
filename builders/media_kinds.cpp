#include "builders/media_kinds.h"

#include <iterator>
#include <new>

#include "builders/bitmap_builder.h"
#include "builders/bitmap_export.h"
#include "builders/gif_media.h"
#include "builders/sound_media.h"
#include "builders/stxt.h"
#include "builders/text_media.h"
#include "container/bitmap_member.h"
#include "container/cast_members.h"
#include "container/movie.h"

namespace quillon {

namespace {

const MediaKind kMediaKinds[] = {
    {kTypeBitmap, ManifestKind::kBitmap, "bitmap", "bitmaps", true, nullptr, BuildBitmapChunk,
     ExportBitmap, ClaimedBitmapSuffix},
    {kTypeAlpha, ManifestKind::kAlpha, "alpha", "alpha channels", true, nullptr, BuildAlphaChunk,
     ExportAlpha, nullptr},
    {kTypeMedia, ManifestKind::kGif, "gif", "GIF media", false, HoldsGif89a, SubstituteGif,
     ExportGif, nullptr},
    {kTypeText, ManifestKind::kText, "text", "texts", false, nullptr, BuildTextChunk, ExportText,
     nullptr},
    {kTypeSound, ManifestKind::kSound, "sound", "sounds", false, nullptr, BuildSoundChunk,
     ExportSound, nullptr},
};

const MediaKind* FindMediaKind(const CastTables::Key& key) {
  for (const MediaKind& kind : kMediaKinds) {
    if (KeyTypeIs(key, kind.type)) return &kind;
  }
  return nullptr;
}

// The owned chunk's kind and what its steps are handed; null when it is of none, or its
// member's fields cannot be read.
const MediaKind* Resolve(const MovieView& movie, const OwnedChunk& owned, CastMedia& media) {
  const MediaKind* kind = FindMediaKind(owned.key);
  if (kind == nullptr) return nullptr;
  media.cast_number = owned.cast_number;
  media.member_entry = owned.member_entry;
  media.child = owned.key.child;
  if (kind->reads_member && !MemberFields(movie, owned.member_entry, media.member)) {
    return nullptr;
  }
  if (kind->holds != nullptr && !kind->holds(movie, media.child)) return nullptr;
  return kind;
}

}  // namespace

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
    context.shown_file.clear();
    try {
      kind.import(context, media);
    } catch (const std::bad_alloc&) {
      // What the step built is released on the way out; the slot keeps what it held.
      if (!context.shown_file.empty()) context.LogUnusableFile(context.shown_file, "out of memory");
    }
  });
}

const char* ManifestKindName(ManifestKind kind) {
  for (const MediaKind& media_kind : kMediaKinds) {
    if (media_kind.manifest_kind == kind) return media_kind.manifest_name;
  }
  return "chunk";
}

}  // namespace quillon
