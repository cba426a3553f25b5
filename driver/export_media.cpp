#include "driver/export_media.h"

#include <map>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "builders/media_kinds.h"
#include "builders/replacement_names.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "driver/export_writer.h"

namespace quillon {

namespace {

// One owned chunk of a media kind, kept to be exported once the whole cast is known.
struct MediaItem {
  const MediaKind* kind;
  CastMedia media;
};

std::vector<MediaItem> CollectCastMedia(const CastTables& tables) {
  std::vector<MediaItem> items;
  ForEachCastMedia(tables, [&](const MediaKind& kind, const CastMedia& media) {
    items.push_back({&kind, media});
  });
  return items;
}

ManifestRow BaseRow(const MovieView& movie, const MediaItem& item) {
  ManifestRow row;
  row.kind = item.kind->manifest_name;
  row.entry = item.media.child;
  row.type = ReadableType(movie.Entry(item.media.child));
  row.cast_number = item.media.cast_number;
  row.member_entry = item.media.member_entry;
  return row;
}

class CastMediaExport {
 public:
  CastMediaExport(const ExportContext& context, ExportWriter& writer)
      : context_(context), writer_(writer) {}

  void Export(const MediaItem& item) {
    ManifestRow row = BaseRow(context_.movie, item);
    const auto passed_over = passed_over_.find({item.media.child, item.media.member_entry});
    if (exported_.count(item.media.child) != 0) {
      row.note = "chunk already exported for another cast number";
    } else if (passed_over != passed_over_.end()) {
      // The same member in another slot: decoded once, passed over again for the same reason.
      row = passed_over->second;
      row.cast_number = item.media.cast_number;
    } else {
      ExportFile(item, row);
    }
    writer_.AddRow(std::move(row));
  }

  std::set<uint32_t> exported() const { return exported_; }

 private:
  void ExportFile(const MediaItem& item, ManifestRow& row) {
    ExportedFile file;
    try {
      item.kind->export_file(context_, item.media, row, file);
    } catch (const std::bad_alloc&) {
      row.note = "out of memory";
      return;
    }
    if (file.name.empty()) {
      passed_over_.emplace(std::make_pair(item.media.child, item.media.member_entry), row);
      return;
    }
    if (writer_.Wrote(file.name)) {
      row.note = "name shared with another member's file";
      return;
    }
    if (!writer_.PutRowFile(file.name, file.data, file.size, row)) return;
    exported_.insert(item.media.child);
  }

  const ExportContext& context_;
  ExportWriter& writer_;
  std::set<uint32_t> exported_;  // entry indices
  // Rows of the chunks passed over, by chunk and member entry.
  std::map<std::pair<uint32_t, uint32_t>, ManifestRow> passed_over_;
};

}  // namespace

std::set<uint32_t> ExportCastMedia(const MovieView& movie, const CastTables& tables,
                                   ExportWriter& writer, const MediaSettings& settings) {
  const std::vector<MediaItem> items = CollectCastMedia(tables);
  const ExportContext context{movie, tables, writer.stem(), settings};
  CastMediaExport media(context, writer);
  for (const MediaItem& item : items) media.Export(item);
  return media.exported();
}

}  // namespace quillon
