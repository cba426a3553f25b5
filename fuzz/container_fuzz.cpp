// The container check, the raw pass and the write pass over arbitrary bytes. Replacement files
// for entries 3 to 5 wait in a scratch folder; the re-laid output must pass the check itself.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "builders/raw_pass.h"
#include "container/cast_members.h"
#include "container/container_writer.h"
#include "util/file_io.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
  std::string folder;
  std::string output;

  Fixture() {
    folder = (fs::temp_directory_path() / ("quillon-container-fuzz-" + std::to_string(getpid())))
                 .string();
    fs::create_directories(folder + "/files/fuzz-000005.A");
    std::ofstream(folder + "/files/fuzz-000003.STXT", std::ios::binary)
        << std::string("TXTS\4\0\0\0abcd", 12);
    std::ofstream(folder + "/files/fuzz-000004.STXT", std::ios::binary) << "short";
    std::ofstream(folder + "/files/fuzz-000005.A/BC", std::ios::binary) << "CB/A\0\0\0\0";
    output = folder + "/out.dxr";
  }
  ~Fixture() {
    std::error_code ignored;
    fs::remove_all(folder, ignored);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const Fixture fixture;
  std::vector<uint8_t> view(data, data + size);  // stands in for the copy-on-write view
  if (!quillon::CheckContainer(view.data(), view.size())) return 0;
  quillon::MovieView movie(view.data(), view.size());
  quillon::ReplacementTable table(movie.UsedCount());
  quillon::SilentReportSink silent;
  quillon::Reporter report(silent);
  const quillon::CastTables tables(movie);
  quillon::RawPass({fixture.folder + "/files", "fuzz", table, report, &tables, {}});
  const uint64_t expected_length = quillon::ReLaidLength(movie, table);
  // A live entry 0 is given the container length too, which no chunk of it matches.
  const bool output_must_pass = movie.UsedCount() == 0 || !movie.IsLive(0);
  if (quillon::WriteContainer(movie, table, fixture.output) != quillon::WriteStatus::kWritten) {
    return 0;
  }
  std::vector<uint8_t> output;
  if (quillon::ReadWholeFile(fixture.output, UINT64_MAX, output) != quillon::ReadFileStatus::kOk ||
      output.size() != expected_length ||
      (output_must_pass && !quillon::CheckContainer(output.data(), output.size()))) {
    std::abort();
  }
  return 0;
}
