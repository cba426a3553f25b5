#include "util/reporter.h"

#include <cstdarg>
#include <cstdio>

namespace quillon {

namespace {

std::string FormatTextV(const char* format, va_list arguments) {
  va_list for_size;
  va_copy(for_size, arguments);
  const int size = std::vsnprintf(nullptr, 0, format, for_size);
  va_end(for_size);
  if (size <= 0) return {};
  std::string text(static_cast<size_t>(size) + 1, '\0');
  std::vsnprintf(text.data(), text.size(), format, arguments);
  text.pop_back();
  return text;
}

}  // namespace

std::string FormatText(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string text = FormatTextV(format, arguments);
  va_end(arguments);
  return text;
}

void Reporter::Write(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  sink_.LogLine(FormatTextV(format, arguments));
  va_end(arguments);
}

void Reporter::WriteNotice(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  WriteAndTell(kColorYellow, FormatTextV(format, arguments));
  va_end(arguments);
}

void Reporter::WriteRefusal(const char* format, ...) {
  ++refusal_count_;
  va_list arguments;
  va_start(arguments, format);
  WriteAndTell(kColorRed, FormatTextV(format, arguments));
  va_end(arguments);
}

void Reporter::WriteAndTell(ConsoleColor color, const std::string& line) {
  sink_.LogLine(line);
  sink_.Tell(color, line);
}

}  // namespace quillon
