#include "driver/output_names.hpp"

namespace driver {

std::optional<OutputNames> output_names(std::string_view answer) {
  std::string text(answer.substr(0, std::min<std::size_t>(answer.size(), 30)));
  text.resize(30, ' ');
  int length = 1;
  if (text[0] == ' ') {
    text = "OUTPUT";
    length = 6;
  } else {
    for (int position = 29; position >= 1; --position) {
      char c = text[position - 1];
      if (c != ' ' && c != '.') {
        length = position;
        break;
      }
    }
  }
  if (length > max_base_length) return std::nullopt;
  OutputNames names;
  names.base = text.substr(0, length);
  names.length = length;
  names.report = names.base + ".OUT";
  names.bitmap = names.base + ".BMP";
  return names;
}

}  // namespace driver
