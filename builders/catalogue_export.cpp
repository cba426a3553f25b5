#include "builders/catalogue_export.h"

#include <algorithm>
#include <cctype>

#include "builders/catalogue_texts.h"
#include "builders/movie_scripts.h"
#include "builders/stxt.h"
#include "container/cast_members.h"
#include "container/movie.h"
#include "util/code_page.h"

namespace quillon {

namespace {

constexpr char kMemberReference[] = "names a member: translating it breaks the script";
constexpr char kLabelReference[] = "names a frame label: translating it breaks the script";

// What the entries of every chunk go into and are made with.
struct CatalogueMaker {
  const MovieScripts& scripts;
  CodePage& code_page;
  std::vector<PoEntry>& entries;
  std::vector<ManifestRow>& notes;

  void AddNote(uint32_t entry, const char* type, const std::string& note) const {
    ManifestRow row;
    row.entry = entry;
    row.type = type;
    row.note = note;
    row.code_page = code_page.number();
    notes.push_back(std::move(row));
  }
  std::string Undecodable() const {
    return " holds bytes that code page " + std::to_string(code_page.number()) +
           " does not define: no catalogue entry";
  }
};

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// "field 3 "Title"": the member's kind, cast number and name, when it has one that decodes.
std::string MemberText(const CatalogueMaker& maker, const char* kind,
                       const std::map<uint32_t, ChunkOwner>& owners, uint32_t entry) {
  const auto owner = owners.find(entry);
  if (owner == owners.end()) return std::string(kind) + " of no cast member";
  std::string text = std::string(kind) + " of cast member " +
                     std::to_string(owner->second.cast_number);
  const auto facts = maker.scripts.members.find(owner->second.member_entry);
  std::string name;
  if (facts != maker.scripts.members.end() && !facts->second.name.empty() &&
      LiteralMsgid(ByteReader(reinterpret_cast<const uint8_t*>(facts->second.name.data()),
                              facts->second.name.size()),
                   maker.code_page, name)) {
    std::replace(name.begin(), name.end(), '\n', ' ');
    text += " \"" + name + "\"";
  }
  return text;
}

std::string HandlersPushing(const MovieScripts& scripts, const LingoScript& script,
                            uint32_t literal) {
  std::vector<std::string> names;
  for (const LingoHandler& handler : script.handlers) {
    const std::string name = scripts.HandlerName(handler.name_id);
    if (std::find(handler.literals.begin(), handler.literals.end(), literal) !=
            handler.literals.end() &&
        std::find(names.begin(), names.end(), name) == names.end()) {
      names.push_back(name);
    }
  }
  if (names.empty()) return "pushed by no handler";
  std::string text = "pushed by ";
  for (size_t i = 0; i < names.size(); ++i) text += (i > 0 ? ", " : "") + names[i];
  return text;
}

void AddReferenceComments(const MovieScripts& scripts, const std::string& text, PoEntry& entry) {
  const bool member = std::any_of(scripts.members.begin(), scripts.members.end(),
                                  [&](const auto& facts) {
                                    return !facts.second.name.empty() &&
                                           SameName(text, facts.second.name);
                                  });
  const bool label = std::any_of(scripts.frame_labels.begin(), scripts.frame_labels.end(),
                                 [&](const std::string& name) { return SameName(text, name); });
  if (member) entry.comments.push_back(kMemberReference);
  if (label) entry.comments.push_back(kLabelReference);
}

void AddScript(const CatalogueMaker& maker, uint32_t entry, const ByteReader& data) {
  LingoScript script;
  if (!ReadLingoScript(data, maker.scripts.layout, script)) {
    maker.AddNote(entry, kTypeScript, "unreadable script: no catalogue entries");
    return;
  }
  const std::string owner = MemberText(maker, "script", maker.scripts.script_owners, entry);
  for (uint32_t i = 0; i < script.literals.size(); ++i) {
    const LingoLiteral& literal = script.literals[i];
    if (literal.type != kStringLiteral || literal.text.size() == 0) continue;
    PoEntry po;
    if (!LiteralMsgid(literal.text, maker.code_page, po.id)) {
      maker.AddNote(entry, kTypeScript, "literal #" + std::to_string(i) + maker.Undecodable());
      continue;
    }
    po.has_context = true;
    po.context = LiteralContext(entry, i);
    po.comments = {owner, HandlersPushing(maker.scripts, script, i)};
    AddReferenceComments(maker.scripts, std::string(reinterpret_cast<const char*>(
                                                        literal.text.data()),
                                                    literal.text.size()),
                         po);
    maker.entries.push_back(std::move(po));
  }
}

const char* MemberKind(const MovieScripts& scripts, uint32_t entry) {
  const auto owner = scripts.text_owners.find(entry);
  if (owner == scripts.text_owners.end()) return "text";
  const auto facts = scripts.members.find(owner->second.member_entry);
  const uint32_t type = facts == scripts.members.end() ? 0 : facts->second.type;
  return type == kFieldMember ? "field" : type == kButtonMember ? "button" : "text";
}

void AddText(const CatalogueMaker& maker, uint32_t entry, const ByteReader& data) {
  StxtChunk stxt;
  // An STXT chunk that does not read goes out as its raw file alone, as it always did.
  if (!ReadStxt(data, stxt) || stxt.text.size() == 0) return;
  PoEntry po;
  if (!TextMsgid(stxt, maker.code_page, po.id)) {
    maker.AddNote(entry, kTypeText, "text" + maker.Undecodable());
    return;
  }
  po.has_context = true;
  po.context = TextContext(entry);
  po.comments = {
      MemberText(maker, MemberKind(maker.scripts, entry), maker.scripts.text_owners, entry)};
  if (HasMarkers(stxt)) po.flags = {kMarkerFlag};
  maker.entries.push_back(std::move(po));
}

PoEntry Header(const std::string& movie_name, uint32_t code_page) {
  PoEntry header;
  header.str = "Project-Id-Version: " + movie_name +
               "\nPO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\nLast-Translator: \nLanguage-Team: "
               "\nLanguage: \nMIME-Version: 1.0\nContent-Type: text/plain; charset=UTF-8\n"
               "Content-Transfer-Encoding: 8bit\nX-Code-Page: " +
               std::to_string(code_page) + "\n";
  return header;
}

}  // namespace

std::vector<PoEntry> MakeCatalogue(const CastTables& tables, CodePage& code_page,
                                   const std::string& movie_name,
                                   std::vector<ManifestRow>& notes) {
  std::vector<PoEntry> entries = {Header(movie_name, code_page.number())};
  if (tables.movie() == nullptr) return entries;
  const MovieView& movie = *tables.movie();
  const MovieScripts scripts = ReadMovieScripts(tables);
  const CatalogueMaker maker{scripts, code_page, entries, notes};
  for (const char* type : {kTypeScript, kTypeText}) {
    for (uint32_t i = 0; i < movie.UsedCount(); ++i) {
      ByteReader data;
      if (!LiveChunkData(movie, i, type, data)) continue;
      if (type == kTypeScript) {
        AddScript(maker, i, data);
      } else {
        AddText(maker, i, data);
      }
    }
  }
  return entries;
}

}  // namespace quillon
