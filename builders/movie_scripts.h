#pragma once
// What the translation catalogue needs to know of a movie's scripts and the texts around them:
// the layout of its compiled scripts, the names of their handlers, which member owns each
// script and each STXT chunk, and the names that scripts use as references (member names and
// frame labels), all read from the input as it stands.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "container/lingo_script.h"
#include "container/member_info.h"
#include "util/byte_reader.h"

namespace quillon {

class CastTables;
class MovieView;

struct ChunkOwner {
  uint32_t cast_number = 0;
  uint32_t member_entry = 0;
};

struct MemberFacts {
  uint32_t type = 0;
  std::string name;  // as stored; empty without one
};

struct MovieScripts {
  LingoLayout layout{};
  std::vector<std::string> handler_names;      // Lnam, as stored
  std::map<uint32_t, ChunkOwner> script_owners;  // by Lscr entry index
  std::map<uint32_t, ChunkOwner> text_owners;    // by STXT entry index
  std::map<uint32_t, MemberFacts> members;       // by member entry index
  std::set<std::string> frame_labels;          // as stored

  // The handler's name, or "#<id>" when Lnam has none for it.
  std::string HandlerName(int16_t id) const;
};

MovieScripts ReadMovieScripts(const CastTables& tables);

// The whole data of a live entry of type `type`; false for any other entry.
bool LiveChunkData(const MovieView& movie, uint32_t entry, const char* type, ByteReader& data);
// The member chunk's data and info; false when there is none that reads.
bool ReadMemberAt(const MovieView& movie, uint32_t entry, ByteReader& data, MemberInfo& info);

}  // namespace quillon
