#include "builders/catalogue_pass.h"

#include <algorithm>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "builders/build_context.h"
#include "builders/catalogue_texts.h"
#include "builders/chunk.h"
#include "builders/log_lines.h"
#include "builders/movie_scripts.h"
#include "builders/stxt.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "util/code_page.h"
#include "util/file_io.h"
#include "util/paths.h"
#include "util/po_catalogue.h"

namespace quillon {

namespace {

constexpr uint64_t kMaxCatalogueLength = uint64_t{64} << 20;
constexpr char kFuzzy[] = "fuzzy";

using Bytes = std::vector<uint8_t>;

// One script's accepted literals, gathered over the whole catalogue.
struct ScriptEdits {
  LingoScript script;
  std::vector<std::optional<Bytes>> texts;
  std::vector<std::string> old_msgids;  // by literal, for the source's log line
};

// What the pass works with once the catalogue is read.
struct CataloguePass {
  const BuildContext& context;
  const MovieView& movie;
  const MovieScripts scripts;
  const std::string path;
  CodePage& decode_page;
  CodePage& encode_page;
  std::map<uint32_t, ScriptEdits> edits;  // by Lscr entry

  void Refuse(const PoEntry& entry, const std::string& reason) const {
    context.report.WriteRefusal(kCannotUseEntry, entry.context.c_str(),
                             path.c_str(), reason.c_str());
  }
};

Bytes ToBytes(const ByteReader& bytes) { return Bytes(bytes.data(), bytes.data() + bytes.size()); }

// Why the entry cannot name that chunk; null when it is a live chunk of `type`.
const char* ChunkRefusal(const MovieView& movie, uint32_t entry, const char* type) {
  if (entry >= movie.UsedCount() || !movie.IsLive(entry)) return "no such chunk";
  return movie.EntryTypeIs(entry, type) ? nullptr : "chunk of another type";
}

// The script of `entry`, read once; null (with the refusal) when it cannot be used.
ScriptEdits* ScriptOf(CataloguePass& pass, const PoEntry& entry, uint32_t chunk) {
  const auto found = pass.edits.find(chunk);
  if (found != pass.edits.end()) return &found->second;
  if (const char* refusal = ChunkRefusal(pass.movie, chunk, kTypeScript)) {
    pass.Refuse(entry, refusal);
    return nullptr;
  }
  ScriptEdits edits;
  ByteReader data;
  if (!LiveChunkData(pass.movie, chunk, kTypeScript, data) ||
      !ReadLingoScript(data, pass.scripts.layout, edits.script)) {
    pass.Refuse(entry, "unreadable chunk");
    return nullptr;
  }
  edits.texts.resize(edits.script.literals.size());
  edits.old_msgids.resize(edits.script.literals.size());
  return &pass.edits.emplace(chunk, std::move(edits)).first->second;
}

void TakeLiteral(CataloguePass& pass, const PoEntry& entry, const CatalogueContext& context) {
  ScriptEdits* edits = ScriptOf(pass, entry, context.entry);
  if (edits == nullptr) return;
  const std::vector<LingoLiteral>& literals = edits->script.literals;
  if (context.literal >= literals.size() || literals[context.literal].type != kStringLiteral ||
      literals[context.literal].text.size() == 0) {
    pass.Refuse(entry, "no such chunk");
    return;
  }
  const ByteReader old = literals[context.literal].text;
  std::string msgid;
  if (!LiteralMsgid(old, pass.decode_page, msgid) || msgid != entry.id) {
    pass.Refuse(entry, "msgid is not the movie's text");
    return;
  }
  EncodedMsgstr encoded;
  uint32_t value = 0;
  const MsgstrStatus status = EncodeMsgstr(entry.str, 0, pass.encode_page, encoded, value);
  if (status != MsgstrStatus::kOk) {
    pass.Refuse(entry, DescribeMsgstrStatus(status, value, pass.encode_page.number()));
    return;
  }
  // A translation that gives back the movie's bytes replaces nothing.
  const Bytes& text = encoded.text.bytes;
  edits->texts[context.literal] =
      text == ToBytes(old) ? std::nullopt : std::optional<Bytes>(text);
  edits->old_msgids[context.literal] = msgid;
}

std::vector<RunPlacement> Placements(const EncodedMsgstr& encoded, uint16_t run_count) {
  std::vector<RunPlacement> placements;
  for (uint16_t run = 0; run < run_count; ++run) {
    if (encoded.starts[run]) placements.push_back({run, *encoded.starts[run]});
  }
  std::stable_sort(placements.begin(), placements.end(),
                   [](const RunPlacement& a, const RunPlacement& b) { return a.start < b.start; });
  return placements;
}

void TakeText(CataloguePass& pass, const PoEntry& entry, uint32_t chunk) {
  if (const char* refusal = ChunkRefusal(pass.movie, chunk, kTypeText)) {
    pass.Refuse(entry, refusal);
    return;
  }
  ByteReader data;
  StxtChunk old;
  if (!LiveChunkData(pass.movie, chunk, kTypeText, data) || !ReadStxt(data, old)) {
    pass.Refuse(entry, "unreadable chunk");
    return;
  }
  std::string msgid;
  if (!TextMsgid(old, pass.decode_page, msgid) || msgid != entry.id) {
    pass.Refuse(entry, "msgid is not the movie's text");
    return;
  }
  EncodedMsgstr encoded;
  uint32_t value = 0;
  const MsgstrStatus status =
      EncodeMsgstr(entry.str, old.run_count, pass.encode_page, encoded, value);
  if (status != MsgstrStatus::kOk) {
    pass.Refuse(entry, DescribeMsgstrStatus(status, value, pass.encode_page.number()));
    return;
  }
  Chunk rebuilt;
  if (!RebuildStxtWithRuns(old, encoded.text, Placements(encoded, old.run_count),
                           pass.context.order(), rebuilt) ||
      (rebuilt.size() - kChunkHeaderSize == data.size() &&
       data.Matches(0, rebuilt.data() + kChunkHeaderSize, data.size()))) {
    return;
  }
  pass.context.report.Write(kTextFromCatalogue, chunk,
                         static_cast<uint32_t>(encoded.text.bytes.size()), pass.path.c_str());
  pass.context.StoreChunk(chunk, std::move(rebuilt), kCatalogueCollision);
}

void TakeEntry(CataloguePass& pass, const PoEntry& entry) {
  if (entry.obsolete || entry.HasFlag(kFuzzy) || !entry.translated) return;
  if (entry.plural) {
    pass.Refuse(entry, "plural forms");
    return;
  }
  CatalogueContext context;
  if (!entry.has_context || !ParseContext(entry.context, context)) {
    pass.Refuse(entry, "no such chunk");
  } else if (context.type == kTypeScript) {
    TakeLiteral(pass, entry, context);
  } else {
    TakeText(pass, entry, context.entry);
  }
}

Chunk WrapData(const char* type, const Bytes& data, ByteOrder order) {
  Chunk chunk = MakeChunk(type, static_cast<uint32_t>(data.size()), order);
  std::copy(data.begin(), data.end(), chunk.begin() + kChunkHeaderSize);
  return chunk;
}

// The source text with every "old" (quotes included) of a translated literal as "new".
Bytes ReplaceQuoted(const ByteReader& source, const std::vector<std::pair<Bytes, Bytes>>& strings) {
  Bytes out;
  size_t at = 0;
  while (at < source.size()) {
    bool replaced = false;
    for (const auto& [from, to] : strings) {
      if (source.Matches(at, from.data(), from.size())) {
        out.insert(out.end(), to.begin(), to.end());
        at += from.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out.push_back(source.data()[at++]);
  }
  return out;
}

Bytes Quoted(const Bytes& text) {
  Bytes quoted(text.size() + 2, '"');
  std::copy(text.begin(), text.end(), quoted.begin() + 1);
  return quoted;
}

// The member's source text with the script's new strings, where it keeps its source.
void UpdateSource(const CataloguePass& pass, uint32_t script_entry, const ScriptEdits& edits) {
  const auto owner = pass.scripts.script_owners.find(script_entry);
  ByteReader member;
  MemberInfo info;
  if (owner == pass.scripts.script_owners.end() ||
      !ReadMemberAt(pass.movie, owner->second.member_entry, member, info) ||
      info.Source().size() == 0) {
    return;
  }
  std::vector<std::pair<Bytes, Bytes>> strings;
  for (size_t i = 0; i < edits.texts.size(); ++i) {
    if (!edits.texts[i]) continue;
    const Bytes& text = *edits.texts[i];
    if (std::find(text.begin(), text.end(), '"') != text.end() ||
        std::find(text.begin(), text.end(), '\r') != text.end()) {
      pass.context.report.Write(kSourceKeepsOldText,
                             owner->second.cast_number, edits.old_msgids[i].c_str());
      continue;
    }
    strings.emplace_back(Quoted(ToBytes(edits.script.literals[i].text)), Quoted(text));
  }
  // Longer strings first, so that a string inside another is not taken for it.
  std::stable_sort(strings.begin(), strings.end(), [](const auto& a, const auto& b) {
    return a.first.size() > b.first.size();
  });
  const Bytes source = ReplaceQuoted(info.Source(), strings);
  Bytes data;
  if (source == ToBytes(info.Source()) || !RebuildMemberSource(member, info, source, data)) {
    return;
  }
  pass.context.StoreChunk(owner->second.member_entry,
                          WrapData(kTypeMember, data, pass.context.order()), kCatalogueCollision);
}

void RebuildScripts(const CataloguePass& pass) {
  for (const auto& [entry, edits] : pass.edits) {
    const uint32_t replaced = static_cast<uint32_t>(
        std::count_if(edits.texts.begin(), edits.texts.end(),
                      [](const std::optional<Bytes>& text) { return text.has_value(); }));
    Bytes data;
    if (replaced == 0 || !RebuildLingoScript(edits.script, edits.texts, data)) continue;
    pass.context.report.Write(kScriptFromCatalogue, entry, replaced,
                           edits.script.StringCount(), pass.path.c_str());
    pass.context.StoreChunk(entry, WrapData(kTypeScript, data, pass.context.order()),
                            kCatalogueCollision);
    UpdateSource(pass, entry, edits);
  }
}

// The catalogue's code page for its msgids; false (refused) when it names none on offer.
bool OpenCatalogueCodePage(const std::vector<PoEntry>& entries, CodePage& code_page,
                           std::string& named) {
  named = std::to_string(kDefaultCodePage);
  for (const PoEntry& entry : entries) {
    if (!entry.has_context && entry.id.empty()) PoHeaderField(entry.str, "X-Code-Page", named);
  }
  const bool digits = !named.empty() && named.size() < 10 &&
                      named.find_first_not_of("0123456789") == std::string::npos;
  return digits && code_page.Open(static_cast<uint32_t>(std::stoul(named)));
}

// The catalogue's entries; false with the file's refusal logged, or without a word when there
// is no catalogue.
bool ReadCatalogue(const BuildContext& context, const std::string& path,
                   std::vector<PoEntry>& entries) {
  std::vector<uint8_t> file;
  const ReadFileStatus status = ReadWholeFile(path, kMaxCatalogueLength, file);
  // Shown only when there is one, so that runs without a catalogue print what they always did.
  if (status != ReadFileStatus::kMissing) context.ShowFile(path);
  if (status != ReadFileStatus::kOk) {
    if (const char* failure = DescribeReadFailure(status)) context.LogUnusableFile(path, failure);
    return false;
  }
  uint32_t line = 0;
  switch (ReadPoCatalogue(ByteReader(file.data(), file.size()), entries, line)) {
    case PoStatus::kNotUtf8:
      context.LogUnusableFile(path, "not UTF-8 text");
      return false;
    case PoStatus::kSyntax:
      context.LogUnusableFile(path,
                              ("not a PO catalogue (line " + std::to_string(line) + ")").c_str());
      return false;
    case PoStatus::kOk:
      break;
  }
  return true;
}

void ImportEntries(const BuildContext& context, const std::string& path,
                   const std::vector<PoEntry>& entries) {
  CodePage decode_page;
  std::string named;
  if (!OpenCatalogueCodePage(entries, decode_page, named)) {
    context.LogUnusableFile(path, ("unknown code page " + named).c_str());
    return;
  }
  CodePage* given = context.settings.code_page_given ? context.settings.code_page : nullptr;
  CodePage& encode_page = given != nullptr ? *given : decode_page;
  CataloguePass pass{context, *context.tables->movie(), ReadMovieScripts(*context.tables),
                     path, decode_page, encode_page, {}};
  for (const PoEntry& entry : entries) {
    if (entry.has_context || !entry.id.empty()) TakeEntry(pass, entry);
  }
  RebuildScripts(pass);
}

}  // namespace

void ImportCatalogue(const BuildContext& context) {
  if (context.tables == nullptr || context.tables->movie() == nullptr) return;
  const std::string path = JoinPath(context.files_dir, context.stem + ".po");
  try {
    std::vector<PoEntry> entries;
    if (ReadCatalogue(context, path, entries)) {
      ImportEntries(context, path, entries);
    }
  } catch (const std::bad_alloc&) {
    context.LogUnusableFile(path, "out of memory");
  }
}

}  // namespace quillon
