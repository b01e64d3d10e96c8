#include "input/text_lines.hpp"

namespace input {

namespace {

bool is_blank(const std::string& line) {
  return line.find_first_not_of(" \t") == std::string::npos;
}

}  // namespace

bool FileLines::next_line(std::string& line) {
  if (has_rest_) {
    line.swap(rest_);
    has_rest_ = false;
  } else {
    if (!std::getline(in_, line)) return false;
    if (line_number_ == 0 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
  }
  const std::size_t cr = line.find('\r');
  if (cr != std::string::npos) {
    if (cr + 1 < line.size()) {
      rest_.assign(line, cr + 1);
      has_rest_ = true;
    }
    line.resize(cr);
  }
  ++line_number_;
  return true;
}

bool RecordLines::next_line(std::string& line) {
  if (!held_.empty()) {
    line = std::move(held_.back());
    held_.pop_back();
    return true;
  }
  if (!lines_.next_line(line)) return false;
  if (!is_blank(line)) return true;
  // Blank lines count only when a line with something on it follows them.
  std::vector<std::string> blanks{line};
  std::string next;
  while (lines_.next_line(next)) {
    if (!is_blank(next)) {
      held_.push_back(std::move(next));
      held_.insert(held_.end(), blanks.rbegin(), blanks.rend() - 1);
      line = std::move(blanks.front());
      return true;
    }
    blanks.push_back(next);
  }
  return false;
}

}  // namespace input
