#pragma once
// Which movie the files in a FilesDir are of: the export names its movie in the manifest's first
// row, so that two movies of one stem (GAME.DIR and GAME.CXT) never share a folder unnoticed.

#include <string>

#include "builders/manifest_row.h"

namespace quillon {

// The manifest row that names the movie: kind "movie", its file name in the file column.
ManifestRow MovieRow(const std::string& movie_file_name);

// The movie named by "<stem>.csv" in `files_dir`; empty when there is no such manifest or it
// names none (an export of an older version, or another file of that name).
std::string FolderOwner(const std::string& files_dir, const std::string& stem);

// Whether two names are one to the file system (letter case ignored where it ignores it).
bool NamesMatch(const std::string& a, const std::string& b);

// Whether an owner the folder names is another movie than `movie_file_name` (names compared as
// the file system compares them).
bool OwnedByAnother(const std::string& owner, const std::string& movie_file_name);

}  // namespace quillon
