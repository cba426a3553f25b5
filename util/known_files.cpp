#include "util/known_files.h"

#include "util/paths.h"

namespace quillon {

namespace {

bool IsSeparator(char c) { return c == '/' || c == kPathSeparator; }

// Letter case folded, and every byte above 0x7F made one. An exact match opens; a file system
// that ignores case (or folds letters beyond ASCII) may open a name that matches only this way,
// so the open decides for it too.
std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) {
      c = '\x80';
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return folded;
}

// Names that some file system resolves other than byte for byte: Windows drops trailing dots
// and spaces, reads a colon as a stream, "~" as a short name. The open decides for them.
bool MayResolveElsewhere(const std::string& name) {
  return name.find_first_of(":~") != std::string::npos ||
         (!name.empty() && (name.back() == '.' || name.back() == ' '));
}

}  // namespace

bool KnownFiles::MayExist(const std::string& path) {
  size_t at = path.size();
  while (at > 0 && !IsSeparator(path[at - 1])) --at;
  const std::string folder = path.substr(0, at);
  const std::string name = path.substr(at);
  if (name.empty()) return false;  // a path ending in a separator names a folder
  const Listing& listing = ListingOf(folder);
  return !listing.listed || listing.folded.count(Folded(name)) != 0 || MayResolveElsewhere(name);
}

const KnownFiles::Listing& KnownFiles::ListingOf(const std::string& folder) {
  const auto found = listings_.find(folder);
  if (found != listings_.end()) return found->second;
  Listing& listing = listings_[folder];
  std::set<std::string> names;
  const ListFolderStatus status = ListRegularFiles(folder, names);
  listing.listed = status != ListFolderStatus::kUnreadable;
  if (status == ListFolderStatus::kListed) {
    for (const std::string& name : names) listing.folded.insert(Folded(name));
  }
  return listing;
}

}  // namespace quillon
