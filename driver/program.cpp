#include "driver/program.h"

#include <string>

#include "container/movie.h"
#include "driver/input_movie.h"
#include "util/report.h"

namespace quillon {

namespace {

constexpr uint32_t kMacCodePage = 10000;

void PrintUsage(const ProgramShape& shape) {
  const std::string usage =
      std::string("Program written using Varnel Console Interface (VarnelUtil->CI) v0.9.2\n") +
      shape.syntax + kCodePageUsage;
  PrintInColor(kColorYellow, usage.c_str());
}

}  // namespace

int RunProgram(int argc, char** argv, const ProgramShape& shape, ProgramWork work) {
  PrintBanner();
  const CommandLine line = ParseCommandLine(argc, argv, shape.overwrite_option);
  if (line.version) return 0;
  const size_t count = line.arguments.size();
  if (line.help || count < shape.min_arguments || count > shape.max_arguments) {
    PrintUsage(shape);
    return line.help ? 0 : 1;
  }
  try {
    CodePage code_page;
    if (line.code_page_given && !OpenGivenCodePage(line, code_page)) {
      PrintUsage(shape);
      PrintFatal("Unknown code page %s!!!\n", line.code_page.c_str());
      return 1;
    }
    MediaSettings settings;
    settings.code_page = &code_page;
    settings.code_page_given = line.code_page_given;
    return work(line, settings);
  } catch (...) {
    // Only allocation throws here (std::bad_alloc, or std::length_error for sizes beyond any
    // allocation); the unwinding has released what the run held, so the message can be shown.
    PrintFatal("Not enough memory for %s!!!\n", line.arguments[0].c_str());
    return 1;
  }
}

bool OpenMovieCodePage(const CommandLine& line, const MovieView& movie, CodePage& code_page) {
  if (line.code_page_given) return true;
  const uint32_t number = movie.order() == ByteOrder::kBig ? kMacCodePage : kDefaultCodePage;
  if (code_page.Open(number)) return true;
  PrintFatal("Unknown code page %u!!!\n", number);
  return false;
}

}  // namespace quillon
