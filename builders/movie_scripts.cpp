#include "builders/movie_scripts.h"

#include "builders/stxt.h"
#include "container/cast_members.h"
#include "container/movie.h"

namespace quillon {

namespace {

constexpr int16_t kDirector4 = 1117;

std::vector<int32_t> ReadContext(const MovieView& movie) {
  std::vector<int32_t> scripts;
  for (const char* type : {kTypeScriptContext, "LctX"}) {
    uint32_t length = 0;
    const uint8_t* data = FindChunk(movie, type, length);
    if (data != nullptr && ReadLingoContext(ByteReader(data, length), scripts)) break;
  }
  return scripts;
}

void ReadMembers(const CastTables& tables, MovieScripts& scripts) {
  const MovieView& movie = *tables.movie();
  const std::vector<int32_t> context = ReadContext(movie);
  for (uint32_t slot = 0; slot < tables.SlotCount(); ++slot) {
    const uint32_t member_entry = tables.MemberEntry(slot);
    ByteReader data;
    MemberInfo info;
    if (!tables.InMap(member_entry) || !LiveChunkData(movie, member_entry, kTypeMember, data)) {
      continue;
    }
    // A member without an info block still has its type.
    const bool has_info = ReadMemberInfo(data, info);
    scripts.members[member_entry] = MemberFacts{info.type, info.Name()};
    if (!has_info) continue;
    if (info.script_id > 0 && info.script_id <= context.size() &&
        context[info.script_id - 1] >= 0) {
      scripts.script_owners.emplace(static_cast<uint32_t>(context[info.script_id - 1]),
                                    ChunkOwner{slot + 1, member_entry});
    }
  }
}

}  // namespace

std::string MovieScripts::HandlerName(int16_t id) const {
  if (id >= 0 && static_cast<size_t>(id) < handler_names.size()) return handler_names[size_t(id)];
  return "#" + std::to_string(id);
}

bool LiveChunkData(const MovieView& movie, uint32_t entry, const char* type, ByteReader& data) {
  if (entry >= movie.UsedCount() || !movie.IsLive(entry) || !movie.EntryTypeIs(entry, type)) {
    return false;
  }
  const uint32_t length = movie.Entry(entry).length;
  const uint8_t* bytes = movie.ChunkData(entry, length);
  if (bytes == nullptr) return false;
  data = ByteReader(bytes, length);
  return true;
}

bool ReadMemberAt(const MovieView& movie, uint32_t entry, ByteReader& data, MemberInfo& info) {
  return LiveChunkData(movie, entry, kTypeMember, data) && ReadMemberInfo(data, info);
}

MovieScripts ReadMovieScripts(const CastTables& tables) {
  MovieScripts scripts;
  int16_t version = kDirector4;
  if (tables.movie() == nullptr) return scripts;
  const MovieView& movie = *tables.movie();
  ReadDirectorVersion(movie, version);
  scripts.layout = LayoutOfVersion(version);
  uint32_t length = 0;
  if (const uint8_t* names = FindChunk(movie, kTypeScriptNames, length)) {
    ReadLingoNames(ByteReader(names, length), scripts.handler_names);
  }
  if (const uint8_t* labels = FindChunk(movie, kTypeFrameLabels, length)) {
    std::vector<std::string> read;
    ReadFrameLabels(ByteReader(labels, length), read);
    scripts.frame_labels.insert(read.begin(), read.end());
  }
  ReadMembers(tables, scripts);
  ForEachOwnedChunk(tables, [&](const OwnedChunk& owned) {
    if (KeyTypeIs(owned.key, kTypeText)) {
      scripts.text_owners.emplace(owned.key.child,
                                  ChunkOwner{owned.cast_number, owned.member_entry});
    }
  });
  return scripts;
}

}  // namespace quillon
