#pragma once
// The movies of a folder given as InFile: its files and those of its subfolders, each told a
// movie by its first bytes.

#include <string>
#include <vector>

namespace quillon {

struct FolderMovie {
  std::string relative;  // the path below the folder, with the system's separators
  // False for a file of a Director extension whose first bytes are no movie's or cast's: it is
  // listed, not run.
  bool is_movie = true;
  // Another movie in its folder has the same stem (GAME.DIR and GAME.CXT).
  bool shares_stem = false;
};

// Whether InFile names a folder of movies: a folder, unless it is named like a movie (a
// "GAME.DXR" folder is a mistake the single run names).
bool IsMovieFolder(const std::string& path);

// The folder's files in name order, then each subfolder's in name order. Files neither of a
// movie's first bytes nor of a Director extension (.dir .dxr .cxt .cst .dcr .cct, any case) are
// left out; a Director file that cannot be read is listed as a movie, whose run says why. A
// subfolder that is a link back to a folder it lies in is not walked.
std::vector<FolderMovie> ListFolderMovies(const std::string& folder);

}  // namespace quillon
