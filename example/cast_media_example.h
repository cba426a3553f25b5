#pragma once
// The example's cast: bitmap members at 8, 16 and 32 bits (the 8-bit one with an alpha
// channel) and a member with GIF media, each with its replacement file.

#include <string>
#include <vector>

#include "fixtures/movie_builder.h"

namespace quillon::example {

struct ExampleFile {
  std::string name;  // inside FilesDir
  test::Bytes bytes;
};

// Adds the members, their media chunks and the cast and key tables to `movie`; returns the
// replacement files to put into FilesDir for a movie whose stem is `stem`.
std::vector<ExampleFile> AddCastMedia(test::MovieBuilder& movie, const std::string& stem);

}  // namespace quillon::example
