#include "console/status_line.hpp"

namespace console {

namespace {

constexpr int assumed_columns = 80;
constexpr const char* erase_to_end_of_line = "\x1b[K";

}  // namespace

bool StatusLine::due(Clock::time_point now) const {
  return !last_shown_ || now - *last_shown_ >= interval;
}

std::string StatusLine::show(std::string_view text, int columns, Clock::time_point now) {
  shown_ = true;
  last_shown_ = now;
  return '\r' + fit_to_width(text, columns) + erase_to_end_of_line;
}

// The next line, likely of another step, may show at once.
std::string StatusLine::wipe() {
  if (!shown_) return {};
  shown_ = false;
  last_shown_.reset();
  return std::string("\r") + erase_to_end_of_line;
}

std::string fit_to_width(std::string_view text, int columns) {
  if (columns <= 0) columns = assumed_columns;
  std::string fitted(text.substr(0, static_cast<std::size_t>(columns - 1)));
  for (char& c : fitted) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
  }
  return fitted;
}

}  // namespace console
