#pragma once
// What the export step of a media kind works with and gives back: the file that stands for one
// owned chunk, in the form its import step reads back, and the facts for its manifest row.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "builders/cast_media.h"
#include "builders/manifest_row.h"
#include "builders/media_settings.h"

namespace quillon {

class CastTables;
class MovieView;

struct ExportContext {
  const MovieView& movie;
  const CastTables& tables;
  std::string stem;
  MediaSettings settings;
};

// The file a step makes; no name when there is nothing to write (the row's note says why).
struct ExportedFile {
  std::string name;
  const uint8_t* data = nullptr;  // into the movie's view, or into `bytes`
  size_t size = 0;
  std::vector<uint8_t> bytes;

  // The file is `file_bytes`, kept here.
  void Take(std::string file_name, std::vector<uint8_t> file_bytes) {
    name = std::move(file_name);
    bytes = std::move(file_bytes);
    data = bytes.data();
    size = bytes.size();
  }
  // The file is bytes that outlive the step (the movie's view).
  void Point(std::string file_name, const uint8_t* file_data, size_t file_size) {
    name = std::move(file_name);
    data = file_data;
    size = file_size;
  }
};

}  // namespace quillon
