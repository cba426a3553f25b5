#include "driver/captured_output.h"

namespace quillon {

namespace {

std::string WithoutLineEnd(const std::string& text) {
  size_t end = text.size();
  while (end > 0 && (text[end - 1] == '\n' || text[end - 1] == '\r')) --end;
  return text.substr(0, end);
}

}  // namespace

void CapturedOutput::Tell(ConsoleColor color, const std::string& text) {
  if (color == kColorRed) outcome_.refusals.push_back(WithoutLineEnd(text));
}

void CapturedOutput::Fatal(const std::string& text) {
  if (outcome_.message.empty()) outcome_.message = WithoutLineEnd(text);
}

}  // namespace quillon
