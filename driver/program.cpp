#include "driver/program.h"

#include <string>

#include "container/movie.h"
#include "driver/batch.h"
#include "driver/input_movie.h"
#include "driver/messages.h"
#include "driver/movie_folder.h"
#include "util/report.h"
#include "util/reporter.h"

namespace quillon {

namespace {

constexpr uint32_t kMacCodePage = 10000;

void PrintUsage(const ProgramShape& shape) {
  const std::string usage = std::string(kUsageHead) + shape.syntax + kCodePageUsage +
                            (shape.overwrite_option ? kOverwriteUsage : "");
  PrintInColor(kColorYellow, usage.c_str());
}

// "874 (Thai), 932 (Japanese), ..., 10000 (Mac Roman)".
std::string ListKnownCodePages() {
  std::string list;
  for (const KnownCodePage* known = KnownCodePagesBegin(); known != KnownCodePagesEnd();
       ++known) {
    if (!list.empty()) list += ", ";
    list += std::to_string(known->number) + " (" + known->name + ")";
  }
  return list;
}

// The usage text and the fatal message of a command line that names what the program does not
// offer; the exit code.
int RefuseLine(const ProgramShape& shape, const CommandLine& line) {
  PrintUsage(shape);
  if (!line.unknown_option.empty()) {
    PrintFatal(kUnknownOption, line.unknown_option.c_str());
    return 1;
  }
  PrintFatal(kUnknownCodePage, line.code_page.c_str());
  PrintInColor(kColorYellow, FormatText(kOfferedCodePages, ListKnownCodePages().c_str()).c_str());
  return 1;
}

}  // namespace

int RunProgram(int argc, char** argv, const ProgramShape& shape, ProgramWork work) {
  PrintBanner();
  const CommandLine line = ParseCommandLine(argc, argv, shape.overwrite_option);
  if (line.version) return 0;
  if (!line.unknown_option.empty()) return RefuseLine(shape, line);
  const size_t count = line.arguments.size();
  if (line.help || count < shape.min_arguments || count > shape.max_arguments) {
    PrintUsage(shape);
    return line.help ? 0 : 1;
  }
  try {
    CodePage code_page;
    if (line.code_page_given && !OpenGivenCodePage(line, code_page)) {
      return RefuseLine(shape, line);
    }
  } catch (...) {
    PrintFatal(kNotEnoughMemory, line.arguments[0].c_str());
    return 1;
  }
  if (IsMovieFolder(line.arguments[0])) return RunBatch(line, shape.batch, work);
  ConsoleOutput console;
  return RunMovie(line, work, console);
}

int RunMovie(const CommandLine& line, ProgramWork work, RunOutput& output) {
  try {
    CodePage code_page;
    if (line.code_page_given && !OpenGivenCodePage(line, code_page)) {
      output.Fatal(FormatText(kUnknownCodePage, line.code_page.c_str()));
      return 1;
    }
    MediaSettings settings;
    settings.code_page = &code_page;
    settings.code_page_given = line.code_page_given;
    return work(line, settings, output);
  } catch (...) {
    // Only allocation throws here (std::bad_alloc, or std::length_error for sizes beyond any
    // allocation); the unwinding has released what the run held, so the message can be shown.
    output.Fatal(FormatText(kNotEnoughMemory, line.arguments[0].c_str()));
    return 1;
  }
}

bool OpenMovieCodePage(const CommandLine& line, const MovieView& movie, CodePage& code_page,
                       RunOutput& output) {
  if (line.code_page_given) return true;
  const uint32_t number = movie.order() == ByteOrder::kBig ? kMacCodePage : kDefaultCodePage;
  if (code_page.Open(number)) return true;
  output.Fatal(FormatText(kUnknownMovieCodePage, number));
  return false;
}

}  // namespace quillon
