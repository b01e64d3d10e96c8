#include "input/text_lines.hpp"

namespace input {

bool FileLines::next_line(std::string& line) {
  if (!std::getline(in_, line)) return false;
  if (line_number_ == 0 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  ++line_number_;
  return true;
}

}  // namespace input
