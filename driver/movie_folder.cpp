#include "driver/movie_folder.h"

#include <set>

#include "container/movie.h"
#include "driver/folder_owner.h"
#include "util/file_io.h"
#include "util/file_map.h"
#include "util/known_files.h"
#include "util/paths.h"

namespace quillon {

namespace {

constexpr const char* kDirectorExtensions[] = {"dir", "dxr", "cxt", "cst", "dcr", "cct"};
// Deeper than any game's folders.
constexpr size_t kMaxDepth = 32;

bool HasDirectorExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos) return false;
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const char* known : kDirectorExtensions) {
    if (extension == known) return true;
  }
  return false;
}

enum class FileKind { kOther, kMovie, kNotAMovie };

FileKind KindOf(const std::string& path, const std::string& name) {
  const bool director_name = HasDirectorExtension(name);
  FileMapping mapping = MapFileReadOnly(path);
  if (!mapping.valid()) return director_name ? FileKind::kMovie : FileKind::kOther;
  const bool movie = HasMovieForm(mapping.view, mapping.size);
  UnmapFile(mapping);
  if (movie) return FileKind::kMovie;
  return director_name ? FileKind::kNotAMovie : FileKind::kOther;
}

// Marks the movies of one folder (from `first` on) that share a stem.
void MarkSharedStems(std::vector<FolderMovie>& movies, size_t first) {
  for (size_t i = first; i < movies.size(); ++i) {
    if (!movies[i].is_movie) continue;
    const std::string stem = StripExtension(GetFileName(movies[i].relative));
    for (size_t j = first; j < movies.size(); ++j) {
      if (j != i && movies[j].is_movie &&
          NamesMatch(stem, StripExtension(GetFileName(movies[j].relative)))) {
        movies[i].shares_stem = true;
      }
    }
  }
}

// Whether `folder` is one of those it lies in: a link back up, which would be walked forever.
bool LoopsBack(const std::string& folder, const std::vector<std::string>& ancestors) {
  for (const std::string& ancestor : ancestors) {
    if (IsSameFile(folder, ancestor)) return true;
  }
  return false;
}

// `ancestors` ends with `folder` itself.
void ListInto(const std::string& folder, const std::string& relative,
              std::vector<std::string>& ancestors, std::vector<FolderMovie>& movies) {
  std::set<std::string> names;
  std::set<std::string> subfolders;
  ListRegularFiles(folder + kPathSeparator, names, &subfolders);
  const size_t first = movies.size();
  for (const std::string& name : names) {
    const FileKind kind = KindOf(JoinPath(folder, name), name);
    if (kind == FileKind::kOther) continue;
    FolderMovie movie;
    movie.relative = relative.empty() ? name : JoinPath(relative, name);
    movie.is_movie = kind == FileKind::kMovie;
    movies.push_back(std::move(movie));
  }
  MarkSharedStems(movies, first);
  if (ancestors.size() >= kMaxDepth) return;
  for (const std::string& sub : subfolders) {
    const std::string path = JoinPath(folder, sub);
    if (LoopsBack(path, ancestors)) continue;
    ancestors.push_back(path);
    ListInto(path, relative.empty() ? sub : JoinPath(relative, sub), ancestors, movies);
    ancestors.pop_back();
  }
}

}  // namespace

bool IsMovieFolder(const std::string& path) {
  return IsFolder(path) && !HasDirectorExtension(GetFileName(path));
}

std::vector<FolderMovie> ListFolderMovies(const std::string& folder) {
  std::vector<FolderMovie> movies;
  std::vector<std::string> ancestors{folder};
  ListInto(folder, "", ancestors, movies);
  return movies;
}

}  // namespace quillon
