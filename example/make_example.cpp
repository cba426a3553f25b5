// Writes a small example movie and a folder of replacement files for it:
//
//   make_example FOLDER   ->  FOLDER/Example.dxr and FOLDER/files/Example-<entry>.<type>
//
// so that `quillon FOLDER/Example.dxr FOLDER/files FOLDER/Out` shows real replacements.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/cast_media.h"
#include "fixtures/movie_builder.h"

namespace {

using quillon::test::Bytes;
using quillon::test::MovieBuilder;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A complete chunk, as a raw replacement file holds it: stored tag, data length, data.
Bytes ChunkFile(const std::string& stored_tag, const std::string& text) {
  Bytes out(stored_tag.begin(), stored_tag.end());
  const auto n = static_cast<uint32_t>(text.size());
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(n >> shift));
  out.insert(out.end(), text.begin(), text.end());
  return out;
}

bool WriteFile(const std::filesystem::path& path, const Bytes& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_example FOLDER\n");
    return 1;
  }
  const std::filesystem::path folder = argv[1];

  MovieBuilder movie(24);  // room for the cast members as well
  const uint32_t greeting = movie.AddChunk("TXTS", Text("Hello from the original movie."));
  movie.AddFreeEntry();
  movie.AddChunk("TXTS", Text("A line that stays as it is."));
  movie.Append(Bytes(6, 0));  // slack the re-laid movie drops
  movie.AddChunk("TXTS", Text("An odd-length, flagged chunk"), 1);

  const auto cast_media = quillon::test::AddCastMedia(movie, "Example");

  char replacement_name[32];
  std::snprintf(replacement_name, sizeof replacement_name, "Example-%06u.STXT", greeting);
  bool written =
      WriteFile(folder / "Example.dxr", movie.Build()) &&
      WriteFile(folder / "files" / replacement_name,
                ChunkFile("TXTS", "Hello from the replacement file, a little longer."));
  for (const auto& file : cast_media) {
    written = written && WriteFile(folder / "files" / file.name, file.bytes);
  }
  if (!written) {
    std::fprintf(stderr, "make_example: cannot write into %s\n", argv[1]);
    return 1;
  }
  std::printf("Example movie and replacement files written to %s\n", argv[1]);
  return 0;
}
